// Number patterns of the decimal-comma convention. Every pattern rounds halves away from
// zero on the value as a person reads it: the double is first taken to 15 significant
// digits, then rounded. The output never depends on the machine's locale.
#pragma once

#include <cstdint>
#include <string>

namespace flussom {

// "#####.00": whole part without grouping, "," and two decimals; a zero whole part prints
// nothing before the comma (0.5 -> ",50", 0 -> ",00", 1234.5 -> "1234,50").
std::string formato_importo(double v);

// formato_importo(a) == formato_importo(b), usually without writing either text.
bool stesso_importo(double a, double b);

// "########": the rounded whole number without separators; nothing at all for 0.
std::string formato_intero(double v);

// "###,###,###": rounded whole number grouped by threes with "."; nothing for 0.
std::string formato_migliaia(double v);

// "#,###,###.00": whole part grouped by threes with ".", "," and two decimals
// (0 -> ",00", 1234.5 -> "1.234,50").
std::string formato_totale(double v);

// The four patterns above through the exact path alone, which the usual amounts skip:
// `decimali` 0 or 2, `gruppi` for the grouping by threes.
std::string formato_esatto(double v, int decimali, bool gruppi);

// "##00": at least two digits ("01", "10", "123").
std::string formato_blocco(std::int64_t n);

// A number written as a plain number: a blank (a minus sign when negative), the whole
// part, and "." with the decimals only when there is a fraction; 15 significant digits,
// never an exponent (45.6 -> " 45.6", 0.5 -> " 0.5", -3 -> "-3").
std::string numero_semplice(double v);

}  // namespace flussom
