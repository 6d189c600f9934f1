#include "model/ricetta.h"

#include "base/testo.h"

namespace flussom {

ValoriRiga valori_riga(const RigaFlusso& r) {
  return {valnum(r.quantita), valore_importo(r.importo), valore_importo(r.importo_ticket), riga_99(r)};
}

void RicettaCorrente::memorizza(std::int64_t i, const RigaFlusso& r, const ValoriRiga& v) {
  valori_ = v;
  if (i < 1) return;
  indice_ = i;
  corrente_ = {r.cod_prestazione, r.quantita, r.importo, v.quantita, v.importo};
  if (i == 1) data_prima_riga_.assign(r.data_prestazione);
}

void RicettaCorrente::svuota_slot() {
  indice_ = 0;
  corrente_ = {};
  data_prima_riga_.clear();
}

}  // namespace flussom
