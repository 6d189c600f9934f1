#include "ui/visualizzatore.h"

#include <string>

namespace flussom {

namespace {

// The application folder as a text ending in a separator.
std::string App_Pacth(const std::filesystem::path& cartella) {
  std::string s = cartella.string();
  const char separatore = static_cast<char>(std::filesystem::path::preferred_separator);
  if (s.empty() || (s.back() != '/' && s.back() != separatore)) s.push_back(separatore);
  return s;
}

}  // namespace

// App_Pacth ends in a backslash and the name brings its own: Windows reads the two as one.
QString comando_visualizza_report(const std::filesystem::path& cartella) {
  return QStringLiteral("NOTEPAD ") + QString::fromLocal8Bit(App_Pacth(cartella)) +
         QStringLiteral("\\errori.RPT");
}

}  // namespace flussom
