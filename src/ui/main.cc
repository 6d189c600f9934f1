// flussom-finestra: the desktop window of the checker.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <cstdio>
#include <exception>
#include <new>

#include "base/orologio.h"
#include "ui/box_messaggio.h"
#include "ui/form_import.h"
#include "ui/percorsi.h"

namespace {

constexpr const char* aiuto =
    "Uso: flussom-finestra [--cartella CARTELLA] [CARTELLA]\n"
    "\n"
    "Apre la finestra del controllo dei file dati del Flusso M.\n"
    "\n"
    "  --cartella CARTELLA  la cartella dell'applicazione: vi si trovano le tabelle e vi\n"
    "                       si scrive errori.RPT; le liste partono da essa\n"
    "                       (predefinita: la cartella del programma)\n"
    "  -h, --help           mostra questo aiuto\n";

}  // namespace

int esegui(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("flussom-finestra"));

  QString cartella;
  const QStringList argomenti = QApplication::arguments().mid(1);
  for (qsizetype i = 0; i < argomenti.size(); ++i) {
    const QString& a = argomenti[i];
    if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
      std::fputs(aiuto, stdout);
      return 0;
    }
    QString valore;
    if (a == QLatin1String("--cartella") && i + 1 < argomenti.size()) {
      valore = argomenti[++i];
    } else if (a.startsWith(QLatin1String("--cartella="))) {
      valore = a.mid(QStringLiteral("--cartella=").size());
    } else if (!a.startsWith(QLatin1Char('-')) && cartella.isEmpty()) {
      valore = a;
    } else {
      std::fprintf(stderr, "Argomento non riconosciuto: %s\n\n%s", a.toLocal8Bit().constData(), aiuto);
      return 2;
    }
    cartella = valore;
  }
  if (cartella.isEmpty()) cartella = QApplication::applicationDirPath();

  const QFileInfo info(cartella);
  if (!info.isDir()) {
    const QString testo =
        QStringLiteral("La cartella dell'applicazione non esiste: ") + QDir::toNativeSeparators(cartella);
    std::fprintf(stderr, "%s\n", testo.toLocal8Bit().constData());
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(flussom::titolo_applicazione), testo);
    flussom::esegui_box(box);
    return 2;
  }

  const flussom::OrologioSistema orologio;
  flussom::Form_import finestra(flussom::a_percorso(QDir::cleanPath(info.absoluteFilePath())), orologio);
  finestra.show();
  return QApplication::exec();
}

int main(int argc, char** argv) {
  // No exception leaves the program: whatever escapes the window ends it with a message.
  try {
    return esegui(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fputs("flussom-finestra: memoria insufficiente\n", stderr);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "flussom-finestra: errore imprevisto: %s\n", e.what());
  } catch (...) {
    std::fputs("flussom-finestra: errore imprevisto\n", stderr);
  }
  return 2;
}
