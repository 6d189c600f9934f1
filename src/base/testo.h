// Small text helpers shared by the whole check: trimming, the numeric value of a text,
// and the comparison key of a date. Texts are Windows-1252 bytes throughout.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace flussom {

// Removes blanks (code 32 only) at both ends. Inline, and eight blanks at a time where it
// can: every field of every line is trimmed, and many fields are mostly blank.
inline std::string_view trim(std::string_view s) {
  constexpr std::uint64_t otto_blank = 0x2020202020202020u;
  const char* a = s.data();
  const char* b = a + s.size();
  std::uint64_t w;
  while (b - a >= 8 && (std::memcpy(&w, a, 8), w == otto_blank)) a += 8;
  while (a < b && *a == ' ') ++a;
  while (b - a >= 8 && (std::memcpy(&w, b - 8, 8), w == otto_blank)) b -= 8;
  while (b > a && b[-1] == ' ') --b;
  return std::string_view(a, static_cast<std::size_t>(b - a));
}

// Why a piece of work failed, in Italian, from inside the handler of what it threw
// ("memoria insufficiente", "errore imprevisto: ..."). Only inside a catch block.
std::string motivo_eccezione();

// The letters a to z made capitals, or A to Z made small; every other byte (accented
// letters of Windows-1252 too) left as it is, as the tables and the codes know no others.
constexpr char maiuscola_ascii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
constexpr char minuscola_ascii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
std::string maiuscolo_ascii(std::string_view s);
std::string minuscolo_ascii(std::string_view s);

// A data file's name as the file list offers it, "*.txt;*.": the extension txt in any
// letter case, or none at all (a name without a dot, or ending in one).
bool nome_file_dati(std::string_view nome);

// Numeric value of a text: blanks anywhere are ignored, then an optional sign, digits,
// an optional "." with digits and an optional exponent (e or E) are read; reading stops
// at the first other character. A text with no leading number is 0.
inline double valnum(std::string_view s);

// The two parts of valnum: the general reading, and the one-pass reading of the usual texts.
double valnum_generale(std::string_view s);

// valnum of the usual texts (codes, counts, dates, amounts) in one pass: blanks, a sign,
// digits with at most one "." and at most 15 significant digits, up to the first other
// character, which must not be an exponent letter. The digits make an integer that a
// double holds exactly and 10^decimals is exact too, so the one division gives the double
// nearest to the decimal value, as the general reading does. False for anything else.
// `virgola`: the text is read as if its first "," were a ".".
template <bool virgola = false>
inline bool valnum_semplice(std::string_view s, double& v) {
  static constexpr double potenze[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const char* p = s.data();
  const char* const fine = p + s.size();
  while (p < fine && *p == ' ') ++p;
  bool negativo = false;
  if (p < fine && (*p == '+' || *p == '-')) {
    negativo = *p == '-';
    ++p;
  }
  std::uint64_t m = 0;
  int cifre = 0;      // digits read, leading zeros included
  int decimali = -1;  // digits after the point; -1 before it
  for (; p < fine; ++p) {
    const char c = *p;
    if (c >= '0' && c <= '9') {
      if (++cifre > 15) return false;
      m = m * 10 + static_cast<std::uint64_t>(c - '0');
      if (decimali >= 0) ++decimali;
    } else if ((c == '.' || (virgola && c == ',')) && decimali < 0) {
      // (A "," after the point, the first one included, ends the number as a "." would.)
      decimali = 0;
    } else if (c != ' ') {
      if (c == 'e' || c == 'E') return false;
      break;
    }
  }
  if (cifre == 0) {
    v = 0;
    return true;
  }
  // A whole number needs no division (by 1, which changes nothing and takes long).
  v = decimali > 0 ? static_cast<double>(m) / potenze[decimali] : static_cast<double>(m);
  if (negativo) v = -v;
  return true;
}

// Inline (defined below): it is asked many times for every line, nearly always of a
// short text that valnum_semplice takes.
inline double valnum(std::string_view s) {
  double v;
  return valnum_semplice(s, v) ? v : valnum_generale(s);
}

// Value of an amount text: valnum of the text after its first "," became ".".
inline double valore_importo(std::string_view s);
double valore_importo_generale(std::string_view s);

inline double valore_importo(std::string_view s) {
  double v;
  return valnum_semplice<true>(s, v) ? v : valore_importo_generale(s);
}

// The text with its first "," replaced by ".".
std::string virgola_in_punto(std::string_view s);

// Comparison key of a dd/mm/yyyy text: last four characters, characters 4-5, first two.
// Shorter texts give what is there (an empty text gives an empty key).
std::string chiave_data(std::string_view data);

// chiave_data(a) > chiave_data(b), bytes compared as unsigned codes (a prefix is the
// smaller), usually without writing either key.
bool data_successiva(std::string_view a, std::string_view b);

}  // namespace flussom
