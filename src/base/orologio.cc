#include "base/orologio.h"

#include "base/piattaforma.h"

namespace flussom {

std::chrono::year_month_day OrologioSistema::oggi() const {
  const std::tm t = ora_locale(std::time(nullptr));
  return std::chrono::year_month_day{std::chrono::year{t.tm_year + 1900},
                                     std::chrono::month{static_cast<unsigned>(t.tm_mon + 1)},
                                     std::chrono::day{static_cast<unsigned>(t.tm_mday)}};
}

}  // namespace flussom
