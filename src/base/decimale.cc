#include "base/decimale.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>
#include <cstdlib>
#include <string>

namespace flussom {

namespace {

// Powers of ten a double holds exactly.
constexpr double potenze_esatte[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                     1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                     1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int massimo_decimali = 22;
constexpr std::uint64_t massima_mantissa = std::uint64_t{1} << 53;

// The exact reading, independent of the C locale (a window program runs under the user's
// locale, where strtod would stop at the "." of "12.50").
double lettura_esatta(std::string_view numero) {
  if (!numero.empty() && numero.front() == '+') numero.remove_prefix(1);
  double v = 0;
  const auto [fine, ec] = std::from_chars(numero.data(), numero.data() + numero.size(), v);
  (void)fine;
  if (ec == std::errc::result_out_of_range) {
    // Too large or too small for a double: infinity or zero, as strtod gives.
    const auto e = numero.find_first_of("eE");
    const bool piccolo = e != std::string_view::npos && e + 1 < numero.size() && numero[e + 1] == '-';
    const bool negativo = !numero.empty() && numero.front() == '-';
    v = piccolo ? 0.0 : (negativo ? -HUGE_VAL : HUGE_VAL);
  }
  return v;
}

}  // namespace

double valore_decimale(std::string_view t) {
  // The usual texts (amounts, quantities, codes) have few digits and no exponent. Their
  // digits make an integer m a double holds exactly, and with k decimals 10^k is exact
  // too: m / 10^k is then a single correctly rounded division, the same double strtod
  // finds. Everything else goes to strtod.
  std::size_t i = 0;
  const bool negativo = i < t.size() && t[i] == '-';
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  std::uint64_t m = 0;
  int decimali = 0;
  bool punto = false;
  bool cifre = false;
  for (; i < t.size(); ++i) {
    const char c = t[i];
    if (c >= '0' && c <= '9') {
      m = m * 10 + static_cast<std::uint64_t>(c - '0');
      if (m > massima_mantissa) return lettura_esatta(t);
      cifre = true;
      if (punto && ++decimali > massimo_decimali) return lettura_esatta(t);
    } else if (c == '.' && !punto) {
      punto = true;
    } else {
      return lettura_esatta(t);
    }
  }
  if (!cifre) return lettura_esatta(t);
  const double v = static_cast<double>(m) / potenze_esatte[decimali];
  return negativo ? -v : v;
}

}  // namespace flussom
