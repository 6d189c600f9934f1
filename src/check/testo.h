// Small text helpers shared by the whole check: trimming, the numeric value of a text,
// and the comparison key of a date. Texts are Windows-1252 bytes throughout.
#pragma once

#include <string>
#include <string_view>

namespace flussom {

// Removes blanks (code 32 only) at both ends.
std::string_view trim(std::string_view s);

// Numeric value of a text: blanks anywhere are ignored, then an optional sign, digits,
// an optional "." with digits and an optional exponent (e or E) are read; reading stops
// at the first other character. A text with no leading number is 0.
double valnum(std::string_view s);

// Value of an amount text: valnum of the text after its first "," became ".".
double valore_importo(std::string_view s);

// The text with its first "," replaced by ".".
std::string virgola_in_punto(std::string_view s);

// Comparison key of a dd/mm/yyyy text: last four characters, characters 4-5, first two.
// Shorter texts give what is there (an empty text gives an empty key).
std::string chiave_data(std::string_view data);

// True when the two texts are equal after trimming.
inline bool uguali_trim(std::string_view a, std::string_view b) { return trim(a) == trim(b); }

}  // namespace flussom
