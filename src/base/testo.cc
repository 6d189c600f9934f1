#include "base/testo.h"

#include <cmath>
#include <cstring>
#include <exception>
#include <new>

#include "base/decimale.h"

namespace flussom {

std::string motivo_eccezione() {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return "memoria insufficiente";
  } catch (const std::exception& e) {
    return std::string("errore imprevisto: ") + e.what();
  } catch (...) {
    return "errore imprevisto";
  }
}

namespace {

// Copies the characters that can belong to a leading number, skipping blanks, into `out`
// (at most `max` of them). Stops at the first character that cannot continue the number.
std::size_t numero_iniziale(std::string_view s, char* out, std::size_t max,
                            std::string* lungo) {
  std::size_t n = 0;
  std::size_t i = 0;
  auto prossimo = [&]() -> int {
    while (i < s.size() && s[i] == ' ') ++i;
    return i < s.size() ? static_cast<unsigned char>(s[i]) : -1;
  };
  auto prendi = [&](char c) {
    if (n < max) {
      out[n] = c;
    } else if (lungo) {
      if (n == max) lungo->assign(out, max);
      lungo->push_back(c);
    }
    ++n;
    ++i;
  };
  int c = prossimo();
  if (c == '+' || c == '-') {
    prendi(static_cast<char>(c));
    c = prossimo();
  }
  bool cifre = false;
  while (c >= '0' && c <= '9') {
    prendi(static_cast<char>(c));
    cifre = true;
    c = prossimo();
  }
  if (c == '.') {
    prendi('.');
    c = prossimo();
    while (c >= '0' && c <= '9') {
      prendi(static_cast<char>(c));
      cifre = true;
      c = prossimo();
    }
  }
  if (!cifre) return 0;
  if (c == 'e' || c == 'E') {
    // The exponent counts only when digits follow it.
    std::size_t n_prima = n, i_prima = i;
    prendi('e');
    c = prossimo();
    if (c == '+' || c == '-') {
      prendi(static_cast<char>(c));
      c = prossimo();
    }
    bool cifre_esp = false;
    while (c >= '0' && c <= '9') {
      prendi(static_cast<char>(c));
      cifre_esp = true;
      c = prossimo();
    }
    if (!cifre_esp) {
      n = n_prima;
      i = i_prima;
      if (lungo) {
        if (n > max) lungo->resize(n);
        else lungo->clear();
      }
    }
  }
  return n;
}

}  // namespace

double valnum_generale(std::string_view s) {
  char buf[64];
  std::string lungo;
  const std::size_t n = numero_iniziale(s, buf, sizeof buf - 1, &lungo);
  if (n == 0) return 0;
  double v;
  if (lungo.empty()) {  // n <= 63: every character is in buf
    v = valore_decimale(std::string_view(buf, n));
  } else {
    v = valore_decimale(lungo);
  }
  if (!std::isfinite(v)) return 0;
  return v;
}

std::string virgola_in_punto(std::string_view s) {
  std::string t(s);
  if (auto p = t.find(','); p != std::string::npos) t[p] = '.';
  return t;
}

double valore_importo_generale(std::string_view s) {
  const std::size_t virgola = s.find(',');
  if (virgola == std::string_view::npos) return valnum(s);
  // The usual amount texts are short: the copy with "." stays on the stack.
  char buf[32];
  if (s.size() > sizeof buf) return valnum(virgola_in_punto(s));
  std::memcpy(buf, s.data(), s.size());
  buf[virgola] = '.';
  return valnum(std::string_view(buf, s.size()));
}

bool data_successiva(std::string_view a, std::string_view b) {
  // Two dates of ten characters have their key's three parts at the same places.
  if (a.size() == 10 && b.size() == 10) {
    for (const std::size_t da : {6, 3, 0}) {
      const std::size_t quanti = da == 6 ? 4 : 2;
      if (const int c = a.substr(da, quanti).compare(b.substr(da, quanti)); c != 0) return c > 0;
    }
    return false;
  }
  return chiave_data(a) > chiave_data(b);
}

std::string chiave_data(std::string_view d) {
  std::string k;
  k.reserve(8);
  k.append(d.size() >= 4 ? d.substr(d.size() - 4) : d);
  if (d.size() > 3) k.append(d.substr(3, 2));
  k.append(d.substr(0, 2));
  return k;
}

std::string maiuscolo_ascii(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = maiuscola_ascii(c);
  return r;
}

std::string minuscolo_ascii(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = minuscola_ascii(c);
  return r;
}

bool nome_file_dati(std::string_view nome) {
  const std::size_t punto = nome.rfind('.');
  if (punto == std::string_view::npos || punto + 1 == nome.size()) return true;
  return minuscolo_ascii(nome.substr(punto + 1)) == "txt";
}

}  // namespace flussom
