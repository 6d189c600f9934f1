#include "check/formato.h"

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
  std::snprintf(buf, sizeof buf, "%.14e", v);
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

std::string formato_importo(double v) {
  Decimale d = arrotonda(v, 2);
  return (d.negativo ? "-" : "") + d.intera + "," + d.frazione;
}

std::string formato_intero(double v) {
  Decimale d = arrotonda(v, 0);
  return (d.negativo ? "-" : "") + d.intera;
}

std::string formato_migliaia(double v) {
  Decimale d = arrotonda(v, 0);
  return (d.negativo ? "-" : "") + raggruppa(d.intera);
}

std::string formato_totale(double v) {
  Decimale d = arrotonda(v, 2);
  return (d.negativo ? "-" : "") + raggruppa(d.intera) + "," + d.frazione;
}

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
    std::snprintf(buf, sizeof buf, "%.14e", v);
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
