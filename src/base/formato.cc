#include "base/formato.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace flussom {

namespace {

// A value as a person reads it: its 15 significant digits, rounded to `decimali` places
// with halves away from zero. `intera` holds the whole part's digits ("" for 0) and
// `frazione` exactly `decimali` digits.
struct Decimale {
  bool negativo = false;
  std::string intera;
  std::string frazione;
  bool zero() const {
    return intera.empty() && frazione.find_first_not_of('0') == std::string::npos;
  }
};

Decimale arrotonda(double v, int decimali) {
  Decimale r;
  if (!std::isfinite(v) || v == 0) {
    r.frazione.assign(static_cast<std::size_t>(decimali), '0');
    return r;
  }
  char buf[40];
  *std::to_chars(buf, buf + sizeof buf - 1, v, std::chars_format::scientific, 14).ptr = '\0';
  const char* p = buf;
  if (*p == '-') {
    r.negativo = true;
    ++p;
  }
  std::string cifre;
  cifre.reserve(16);
  for (; *p && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') cifre.push_back(*p);
  const int esponente = std::atoi(p + 1);
  // cifre = 15 digits d1 d2 ...; value = 0.d1d2... x 10^(esponente + 1).
  int punto = esponente + 1;  // digits before the decimal point
  const int tieni = punto + decimali;
  if (tieni < 0) {
    cifre.clear();
  } else if (tieni < static_cast<int>(cifre.size())) {
    const bool su = cifre[static_cast<std::size_t>(tieni)] >= '5';
    cifre.resize(static_cast<std::size_t>(tieni));
    if (su) {
      int i = tieni - 1;
      while (i >= 0 && cifre[static_cast<std::size_t>(i)] == '9') cifre[static_cast<std::size_t>(i--)] = '0';
      if (i >= 0) {
        ++cifre[static_cast<std::size_t>(i)];
      } else {
        cifre.insert(cifre.begin(), '1');
        ++punto;
      }
    }
  }
  // Lay the kept digits out around the point.
  const int totale = punto + decimali;
  if (static_cast<int>(cifre.size()) < totale) cifre.append(static_cast<std::size_t>(totale) - cifre.size(), '0');
  if (punto > 0) {
    r.intera = cifre.substr(0, static_cast<std::size_t>(punto));
    r.frazione = cifre.substr(static_cast<std::size_t>(punto));
  } else {
    r.frazione = std::string(static_cast<std::size_t>(-punto), '0') + cifre;
  }
  r.frazione.resize(static_cast<std::size_t>(decimali), '0');
  const auto nz = r.intera.find_first_not_of('0');
  r.intera.erase(0, nz == std::string::npos ? r.intera.size() : nz);
  if (r.zero()) r.negativo = false;
  return r;
}

// The usual amounts take a fast path that gives the same text as the exact one without
// printf. The exact path rounds the double to 15 significant digits and then rounds that
// decimal half away from zero. Below 1e9 the 15 digits and the double arithmetic here stay
// within 1e-4 of |v| x 10^decimali + 0.5, so when that sum lies more than 1e-3 away from a
// whole number both paths floor it to the same whole number. A value that reads as an exact
// half (25.01 / 2 is 12.50499999... as a double, 12.505 to 15 digits) lies next to a whole
// number and takes the exact path.
// `unita`: the rounded |v| in units of 10^-decimali; `negativo`: a sign is printed.
bool arrotonda_veloce(double v, int decimali, std::uint64_t& unita, bool& negativo) {
  const double assoluto = std::fabs(v);
  if (!(assoluto < 1e9)) return false;  // NaN and infinities too
  const double t = assoluto * (decimali == 2 ? 100.0 : 1.0) + 0.5;
  const double intero = std::floor(t);
  const double resto = t - intero;
  if (resto < 1e-3 || resto > 1 - 1e-3) return false;
  unita = static_cast<std::uint64_t>(intero);
  negativo = v < 0 && unita != 0;
  return true;
}

// Writes n's digits backwards ending at `fine`, grouped by threes with "." when asked;
// nothing for 0. Returns the first character written.
char* cifre_indietro(std::uint64_t n, char* fine, bool gruppi) {
  int scritte = 0;
  while (n > 0) {
    if (gruppi && scritte > 0 && scritte % 3 == 0) *--fine = '.';
    *--fine = static_cast<char>('0' + n % 10);
    n /= 10;
    ++scritte;
  }
  return fine;
}

// The text of a pattern from the fast path's result.
std::string testo_veloce(std::uint64_t unita, bool negativo, int decimali, bool gruppi) {
  char buf[48];
  char* fine = buf + sizeof buf;
  char* p = fine;
  if (decimali == 2) {
    *--p = static_cast<char>('0' + unita % 10);
    *--p = static_cast<char>('0' + unita / 10 % 10);
    *--p = ',';
    unita /= 100;
  }
  p = cifre_indietro(unita, p, gruppi);
  if (negativo) *--p = '-';
  return std::string(p, fine);
}

std::string raggruppa(const std::string& intera) {
  std::string out;
  const std::size_t n = intera.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out.push_back('.');
    out.push_back(intera[i]);
  }
  return out;
}

}  // namespace

std::string formato_esatto(double v, int decimali, bool gruppi) {
  Decimale d = arrotonda(v, decimali);
  std::string out = d.negativo ? "-" : "";
  out += gruppi ? raggruppa(d.intera) : d.intera;
  if (decimali > 0) out += "," + d.frazione;
  return out;
}

namespace {

std::string formato(double v, int decimali, bool gruppi) {
  std::uint64_t unita;
  bool negativo;
  if (arrotonda_veloce(v, decimali, unita, negativo)) return testo_veloce(unita, negativo, decimali, gruppi);
  return formato_esatto(v, decimali, gruppi);
}

}  // namespace

std::string formato_importo(double v) { return formato(v, 2, false); }

bool stesso_importo(double a, double b) {
  std::uint64_t ua, ub;
  bool na, nb;
  // The usual unit amount: the tariff itself (a zero is written with its sign: not told apart here).
  if (a == b && std::signbit(a) == std::signbit(b)) return true;
  // The text is a function of the rounded cents and the sign: no text needs to be written.
  if (arrotonda_veloce(a, 2, ua, na) && arrotonda_veloce(b, 2, ub, nb)) return ua == ub && na == nb;
  return formato_importo(a) == formato_importo(b);
}

std::string formato_intero(double v) { return formato(v, 0, false); }

std::string formato_migliaia(double v) { return formato(v, 0, true); }

std::string formato_totale(double v) { return formato(v, 2, true); }

std::string formato_blocco(std::int64_t n) {
  std::string s = std::to_string(n < 0 ? -n : n);
  if (s.size() < 2) s.insert(0, 2 - s.size(), '0');
  return (n < 0 ? "-" : "") + s;
}

std::string numero_semplice(double v) {
  if (!std::isfinite(v)) v = 0;
  // 15 significant digits, fraction without trailing zeros, never an exponent.
  Decimale d;
  if (v != 0) {
    char buf[40];
    *std::to_chars(buf, buf + sizeof buf - 1, v, std::chars_format::scientific, 14).ptr = '\0';
    const int esponente = std::atoi(std::strchr(buf, 'e') + 1);
    const int decimali = esponente >= 14 ? 0 : 14 - esponente;
    d = arrotonda(v, decimali);
  }
  while (!d.frazione.empty() && d.frazione.back() == '0') d.frazione.pop_back();
  std::string out = d.negativo ? "-" : " ";
  out += d.intera.empty() ? "0" : d.intera;
  if (!d.frazione.empty()) out += "." + d.frazione;
  return out;
}

}  // namespace flussom
