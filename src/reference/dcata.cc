#include "reference/dcata.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "base/testo.h"

namespace flussom {

namespace {

using Intero = std::int64_t;

// Fliegel and Van Flandern's conversions between a Gregorian date and its Julian day
// number. Every division truncates, as in the original formulas; a date that is not real
// lands on some other day and so does not come back unchanged.
Intero giorno_giuliano(Intero g, Intero m, Intero a) {
  return g - 32075 + 1461 * (a + 4800 + (m - 14) / 12) / 4 +
         367 * (m - 2 - (m - 14) / 12 * 12) / 12 - 3 * ((a + 4900 + (m - 14) / 12) / 100) / 4;
}

void data_da_giuliano(Intero jd, Intero& g, Intero& m, Intero& a) {
  Intero l = jd + 68569;
  const Intero n = 4 * l / 146097;
  l = l - (146097 * n + 3) / 4;
  const Intero i = 4000 * (l + 1) / 1461001;
  l = l - 1461 * i / 4 + 31;
  const Intero j = 80 * l / 2447;
  g = l - 2447 * j / 80;
  l = j / 11;
  m = j + 2 - 12 * l;
  a = 100 * (n - 49) + i + l;
}

// A whole number small enough for the formulas to stay inside 64 bits.
bool intero(double x, Intero& valore) {
  if (!std::isfinite(x) || std::fabs(x) > 1e11 || x != std::trunc(x)) return false;
  valore = static_cast<Intero>(x);
  return true;
}

std::string_view parte(std::string_view s, std::size_t da, std::size_t quanti) {
  return da < s.size() ? s.substr(da, quanti) : std::string_view();
}

void due_cifre(std::string& out, Intero v) {
  out += static_cast<char>('0' + v / 10);
  out += static_cast<char>('0' + v % 10);
}

bool cifre(std::string_view s, std::size_t da, std::size_t quante, Intero& valore) {
  valore = 0;
  for (std::size_t i = da; i < da + quante; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    valore = valore * 10 + (s[i] - '0');
  }
  return true;
}

// The day is one of the Gregorian calendar. For days and months of two digits and years of
// one to 9999 this is exactly the day that comes back unchanged from its Julian day number,
// without the divisions of the round trip.
bool giorno_del_calendario(Intero g, Intero m, Intero a) {
  static constexpr Intero giorni[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m < 1 || m > 12 || g < 1) return false;
  const bool bisestile = (a % 4 == 0 && a % 100 != 0) || a % 400 == 0;
  return g <= giorni[m - 1] + (m == 2 && bisestile ? 1 : 0);
}

// Reads `d` as a date: its day, month and year, and whether it is written with digits only
// where the numbers are. False when it is not a real date or its year is 0 or later than
// `anno_corrente`.
bool leggi_data(std::string_view d, int anno_corrente, Intero& g, Intero& m, Intero& a, bool& solo_cifre) {
  g = m = a = 0;
  // A date later in the current year than today still passes.
  const auto anno_ammesso = [&] { return a != 0 && a <= anno_corrente; };
  // The usual case, digits only where the numbers are, reads the same numbers without the
  // general reading, and its year of four digits is checked against the calendar.
  solo_cifre = d.size() == 10 && cifre(d, 0, 2, g) && cifre(d, 3, 2, m) && cifre(d, 6, 4, a);
  if (solo_cifre) return anno_ammesso() && giorno_del_calendario(g, m, a);

  const double vg = valnum(parte(d, 0, 2));
  const double vm = valnum(parte(d, 3, 2));
  const double va = valnum(d.size() > 4 ? d.substr(d.size() - 4) : d);
  bool valida = intero(vg, g) && intero(vm, m) && intero(va, a);
  if (valida) {
    Intero g2 = 0, m2 = 0, a2 = 0;
    data_da_giuliano(giorno_giuliano(g, m, a), g2, m2, a2);
    valida = g2 == g && m2 == m && a2 == a;
  }
  return valida && anno_ammesso();
}

}  // namespace

bool data_valida(std::string_view d, int anno_corrente) {
  Intero g, m, a;
  bool solo_cifre;
  return leggi_data(d, anno_corrente, g, m, a, solo_cifre);
}

std::string DCATA(std::string_view d, int anno_corrente) {
  Intero g, m, a;
  bool solo_cifre;
  if (!leggi_data(d, anno_corrente, g, m, a, solo_cifre)) return {};

  // Digits only: written as it went in, but for the separators.
  if (solo_cifre) {
    std::string data(d);
    data[2] = data[5] = '/';
    return data;
  }

  // A real date has day and month on two digits; the year takes four characters, with
  // leading zeros (after the sign of a negative year) where it is shorter.
  std::string out;
  due_cifre(out, g);
  out += '/';
  due_cifre(out, m);
  out += '/';
  const std::string anno = std::to_string(a < 0 ? -a : a);
  const std::size_t larghezza = a < 0 ? 3 : 4;
  if (a < 0) out += '-';
  if (anno.size() < larghezza) out.append(larghezza - anno.size(), '0');
  out += anno;
  return out;
}

}  // namespace flussom
