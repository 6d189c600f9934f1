#include "risultati/righe_stato.h"

namespace flussom {

std::string riga_apertura(std::string_view file) { return "Apertura File : " + std::string(file); }

std::string riga_non_completato(EsitoRun esito, std::string_view motivo) {
  if (esito == EsitoRun::interrotto) motivo = "interrotto dall'operatore";
  return "Controllo NON completato" + (motivo.empty() ? std::string() : ": " + std::string(motivo));
}

}  // namespace flussom
