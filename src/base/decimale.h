// The value of a decimal number text, as the C library's strtod reads it.
#pragma once

#include <string_view>

namespace flussom {

// `numero` is an optional sign, digits with at most one ".", optionally an exponent (e or E,
// an optional sign, digits), with at least one digit before the exponent. The result is the
// double nearest to the decimal value, bit for bit what strtod gives.
double valore_decimale(std::string_view numero);

}  // namespace flussom
