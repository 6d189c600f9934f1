#include "model/ricetta.h"

namespace flussom {

const SlotRiga& RicettaCorrente::slot(std::int64_t i) const {
  if (i < 1) return slot_[0];
  if (i > numero_slot) return slot_[numero_slot + 1];
  return slot_[static_cast<std::size_t>(i)];
}

void RicettaCorrente::memorizza(std::int64_t i, const RigaFlusso& r) {
  if (i < 1) return;
  SlotRiga& s = slot_[static_cast<std::size_t>(i > numero_slot ? numero_slot + 1 : i)];
  s.data_prestazione = r.data_prestazione;
  s.cod_prestazione = r.cod_prestazione;
  s.quantita = r.quantita;
  s.importo = r.importo;
}

void RicettaCorrente::svuota_slot() {
  for (SlotRiga& s : slot_) {
    s.data_prestazione.clear();
    s.cod_prestazione.clear();
    s.quantita.clear();
    s.importo.clear();
  }
}

}  // namespace flussom
