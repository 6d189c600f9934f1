// The facility registration on the command line: the same acceptance rules as the
// registration window's key filters, applied to whole values typed or given as arguments.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/strutture.h"

namespace flussom {

// Each returns the value in Windows-1252 as the window would hold it, or nothing with the
// reason (Italian, UTF-8) in `errore`. `obbligatorio`: an empty value is refused.
std::optional<std::string> valida_codice_struttura(std::string_view utf8, bool obbligatorio,
                                                   std::string& errore);
std::optional<std::string> valida_denominazione(std::string_view utf8, std::string& errore);
std::optional<std::string> valida_branca(std::string_view utf8, bool obbligatorio,
                                         std::string& errore);

}  // namespace flussom
