#include "ui/visualizzatore.h"

#include "run/importa.h"

namespace flussom {

// App_Pacth ends in a backslash and the name brings its own: Windows reads the two as one.
QString comando_visualizza_report(const std::filesystem::path& cartella) {
  return QStringLiteral("NOTEPAD ") + QString::fromLocal8Bit(App_Pacth(cartella)) +
         QStringLiteral("\\errori.RPT");
}

}  // namespace flussom
