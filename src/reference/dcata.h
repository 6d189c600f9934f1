// Date check: a real Gregorian date not in a future year.
#pragma once

#include <string>
#include <string_view>

namespace flussom {

// `data` is dd/mm/yyyy. Empty when the date is not a real date or its year is 0 or later
// than `anno_corrente`; otherwise the date written with day and month on two digits and
// the year on four characters.
[[nodiscard]] std::string DCATA(std::string_view data, int anno_corrente);

// DCATA(data, anno_corrente) is not empty, without writing the date.
bool data_valida(std::string_view data, int anno_corrente);

}  // namespace flussom
