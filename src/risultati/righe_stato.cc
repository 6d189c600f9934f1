#include "risultati/righe_stato.h"

namespace flussom {

std::string riga_apertura(std::string_view file) { return "Apertura File : " + std::string(file); }

}  // namespace flussom
