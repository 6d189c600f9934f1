#include "ui/visualizzatore.h"

namespace flussom {

// NOTEPAD takes the rest of its command line as the file's name: blanks need no quotes.
// The folder is taken in its wide form, so "à" and "€" reach NOTEPAD whatever the code page.
QString comando_visualizza_report(const std::filesystem::path& cartella) {
  QString c = QString::fromStdWString(cartella.native());
  if (!c.endsWith(QLatin1Char('\\')) && !c.endsWith(QLatin1Char('/'))) c += QLatin1Char('\\');
  return QStringLiteral("NOTEPAD ") + c + QStringLiteral("errori.RPT");
}

}  // namespace flussom
