#include "model/ricetta.h"

#include "base/testo.h"

namespace flussom {

void RicettaCorrente::memorizza(std::int64_t i, const RigaFlusso& r) {
  valore_ticket_ = valore_importo(r.importo_ticket);
  chiusura_ = riga_99(r);
  if (i < 1) return;
  indice_ = i;
  corrente_ = {r.cod_prestazione, r.quantita, r.importo, valnum(r.quantita), valore_importo(r.importo)};
  if (i == 1) data_prima_riga_.assign(r.data_prestazione);
}

void RicettaCorrente::svuota_slot() {
  indice_ = 0;
  corrente_ = {};
  data_prima_riga_.clear();
}

}  // namespace flussom
