// The ricetta being read: its line index, its open error block and the per-line slots.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/riga_flusso.h"

namespace flussom {

struct SlotRiga {
  std::string data_prestazione;
  std::string cod_prestazione;
  std::string quantita;
  std::string importo;
};

struct RicettaCorrente {
  static constexpr std::int64_t numero_slot = 20;

  std::int64_t nprest = 0;     // index of the current line within its ricetta; 0 after a closing row
  std::string ric_corrente;    // num_ricetta of the ricetta whose error block is open
  bool err_ricetta = false;  // the open block holds an error
  std::int64_t riga_inizio = 0;  // the data-file line where ric_corrente began
  bool ric_aperta = false;   // a ricetta has lines but no closing row yet
  double tot_calcolato = 0;    // sum of the catalogue services' amounts

  // Slot i (1-based). A line past the twentieth has no slot of its own: it is kept in an
  // overflow slot, so whatever reads slot nprest reads that line's own values.
  const SlotRiga& slot(std::int64_t i) const;
  // Stores the line's four per-line fields at index i.
  void memorizza(std::int64_t i, const RigaFlusso& r);
  // Empties all slots.
  void svuota_slot();

 private:
  std::array<SlotRiga, numero_slot + 2> slot_{};  // [0] empty, [1..20], [21] overflow
};

}  // namespace flussom
