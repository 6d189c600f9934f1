#include "ui/visualizzatore.h"

#include <QDir>
#include <QStandardPaths>

#include "ui/percorsi.h"

namespace flussom {

namespace {

struct Editore {
  const char* programma;
  // Keep the editor a process of its own (not handing the file to a copy already running),
  // and read the report as Windows-1252 where the editor lets us say so.
  const char* opzioni;
};

// In order of preference. An editor that hands the file to a copy already running (or
// xdg-open, which returns at once) ends the wait as soon as it has done so.
constexpr Editore editori[] = {
    {"gnome-text-editor", "--standalone"},
    {"gedit", "--standalone --encoding=WINDOWS-1252"},
    {"mousepad", "--disable-server --encoding=WINDOWS-1252"},
    {"kate", "--new"},
    {"kwrite", ""},
    {"pluma", ""},
    {"xed", ""},
    {"featherpad", ""},
    {"leafpad", ""},
};

}  // namespace

QString argomento_comando(const QString& testo) {
  if (!testo.isEmpty() && !testo.contains(QLatin1Char(' ')) && !testo.contains(QLatin1Char('\t')) &&
      !testo.contains(QLatin1Char('"')))
    return testo;
  QString t = testo;
  // Inside quotes, three quotes in a row stand for one.
  t.replace(QLatin1String("\""), QLatin1String("\"\"\""));
  return QLatin1Char('"') + t + QLatin1Char('"');
}

QString editore_testo(const QString& path) {
  const QStringList cartelle = path.split(QDir::listSeparator(), Qt::SkipEmptyParts);
  for (const Editore& e : editori) {
    const QString trovato = QStandardPaths::findExecutable(QString::fromLatin1(e.programma), cartelle);
    if (trovato.isEmpty()) continue;
    QString comando = argomento_comando(trovato);
    if (*e.opzioni != '\0') comando += QLatin1Char(' ') + QString::fromLatin1(e.opzioni);
    return comando;
  }
  const QString apri = QStandardPaths::findExecutable(QStringLiteral("xdg-open"), cartelle);
  return argomento_comando(apri.isEmpty() ? QStringLiteral("xdg-open") : apri);
}

QString comando_visualizza_report(const std::filesystem::path& cartella) {
  const QString report = unisci_percorso(QDir::toNativeSeparators(da_percorso(cartella)),
                                         QStringLiteral("errori.RPT"));
  return editore_testo(qEnvironmentVariable("PATH")) + QLatin1Char(' ') + argomento_comando(report);
}

}  // namespace flussom
