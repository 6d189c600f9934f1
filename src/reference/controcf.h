// Check character of the Italian codice fiscale.
#pragma once

#include <string>

namespace flussom {

// Rewrites `codice` (16 characters, trimmed) into its corrected form: capitalised (a to z
// only) and with the 16th character set to the check character of the first fifteen.
// An empty text is left as it is.
void CONTROCF(std::string& codice);

}  // namespace flussom
