#include "reference/controcf.h"

#include <cstddef>

#include "base/testo.h"

namespace flussom {

namespace {

// Values of the characters in odd positions: digits 0 to 9, then letters A to Z.
constexpr int valori_dispari_cifre[10] = {1, 0, 5, 7, 9, 13, 15, 17, 19, 21};
constexpr int valori_dispari_lettere[26] = {1,  0,  5,  7,  9,  13, 15, 17, 19, 21, 2,  4,  18,
                                            20, 11, 3,  6,  8,  12, 14, 16, 10, 22, 25, 24, 23};

constexpr bool cifra(unsigned char c) { return c >= '0' && c <= '9'; }
constexpr bool maiuscola(unsigned char c) { return c >= 'A' && c <= 'Z'; }

// Any character other than a digit counts its code minus 65, so a blank counts -33.
constexpr int valore_pari(unsigned char c) { return cifra(c) ? c - '0' : static_cast<int>(c) - 65; }

// Characters that are neither digits nor capitals count nothing in odd positions.
constexpr int valore_dispari(unsigned char c) {
  if (cifra(c)) return valori_dispari_cifre[c - '0'];
  if (maiuscola(c)) return valori_dispari_lettere[c - 'A'];
  return 0;
}

// What every byte counts, read capitalised: [0] in odd positions, [1] in even ones. The check
// is asked for every closing row: a look-up per character instead of the tests above.
struct ValoriControllo {
  int valore[2][256];
};
constexpr ValoriControllo valori_controllo = [] {
  ValoriControllo v{};
  for (int c = 0; c < 256; ++c) {
    const auto maiuscolo = static_cast<unsigned char>(maiuscola_ascii(static_cast<char>(c)));
    v.valore[0][c] = valore_dispari(maiuscolo);
    v.valore[1][c] = valore_pari(maiuscolo);
  }
  return v;
}();

// The check character of the code's first fifteen characters, read capitalised. The callers
// hand over 16 characters; a shorter text has nothing in the missing positions.
char controllo(std::string_view codice) {
  int somma = 0;
  const std::size_t quanti = codice.size() < 15 ? codice.size() : 15;
  for (std::size_t i = 0; i < quanti; ++i)
    somma += valori_controllo.valore[i % 2][static_cast<unsigned char>(codice[i])];
  // Truncating remainder: a negative sum gives a check character below "A".
  return static_cast<char>(65 + somma % 26);
}

}  // namespace

std::string CONTROCF(std::string_view letto) {
  std::string codice(letto);
  if (codice.empty()) return codice;
  for (char& c : codice) c = maiuscola_ascii(c);
  const char carattere = controllo(codice);
  if (codice.size() < 16 || codice[15] != carattere) codice = codice.substr(0, 15) + carattere;
  return codice;
}

bool da_correggere(std::string_view codice) {
  if (codice.empty()) return false;
  // Shorter, the check character is added; otherwise the code stays as it is only when it
  // has no small letter and its 16th character is the check character (never a small letter).
  if (codice.size() < 16) return true;
  for (const char c : codice)
    if (maiuscola_ascii(c) != c) return true;
  return codice[15] != controllo(codice);
}

}  // namespace flussom
