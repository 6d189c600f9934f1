// Check character of the Italian codice fiscale.
#pragma once

#include <string>
#include <string_view>

namespace flussom {

// The corrected form of `codice` (16 characters, trimmed): capitalised (a to z only) and
// with the 16th character set to the check character of the first fifteen. An empty text
// stays empty.
[[nodiscard]] std::string CONTROCF(std::string_view codice);

// CONTROCF(codice) != codice, told without writing the corrected text.
bool da_correggere(std::string_view codice);

}  // namespace flussom
