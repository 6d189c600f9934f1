// A small program that the tests of the run-and-wait routine start:
//   --esci N          exit code (default 0)
//   --dormi MS        wait MS milliseconds before exiting
//   --finestra TITOLO show a window with that title; closing it ends the program with the
//                     exit code; after --scadenza MS (default 10000) it ends by itself with 99
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <thread>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  int codice = 0, dormi = 0, scadenza = 10000;
  QString titolo;
  bool finestra = false;
  const QStringList a = QApplication::arguments();
  for (qsizetype i = 1; i + 1 < a.size(); ++i) {
    if (a[i] == QLatin1String("--esci")) codice = a[++i].toInt();
    else if (a[i] == QLatin1String("--dormi")) dormi = a[++i].toInt();
    else if (a[i] == QLatin1String("--scadenza")) scadenza = a[++i].toInt();
    else if (a[i] == QLatin1String("--finestra")) { titolo = a[++i]; finestra = true; }
  }
  if (!finestra) {
    std::this_thread::sleep_for(std::chrono::milliseconds(dormi));
    return codice;
  }
  QWidget w;
  w.setWindowTitle(titolo);
  w.resize(240, 80);
  w.show();
  QTimer::singleShot(scadenza, &app, [] { QCoreApplication::exit(99); });
  const int r = QApplication::exec();
  return r == 99 ? 99 : codice;
}
