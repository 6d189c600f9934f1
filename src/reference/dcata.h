// Date check: a real Gregorian date not in a future year.
#pragma once

#include <string>

namespace flussom {

// `data` is dd/mm/yyyy. On return it is empty when the date is not a real date or its year
// is 0 or later than `anno_corrente`; otherwise it is rewritten with day and month on two
// digits and the year on four characters.
void DCATA(std::string& data, int anno_corrente);

}  // namespace flussom
