// Comma-separated fields as the facility and exemption tables are read: blanks before a
// field are skipped; a quoted field runs to the next quote, even across lines, and anything
// between the closing quote and the next delimiter is dropped; an unquoted field ends at a
// comma or a line break and loses its trailing blanks; CR LF, CR and LF each break a line,
// and a line break separates fields like a comma. Empty lines hold no field.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace flussom {

// Every field of the text, in order.
std::vector<std::string> leggi_campi(std::string_view contenuto);

// The fields grouped in records of `per_record` fields; an incomplete last group is dropped.
std::vector<std::vector<std::string>> leggi_record(std::string_view contenuto,
                                                   std::size_t per_record);

}  // namespace flussom
