// The ricetta being read: its line index, its open error block and the current line's slot.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/riga_flusso.h"

namespace flussom {

// The per-line fields of a line of a ricetta, and the values of its quantity and amount,
// read once for every check and total that needs them.
struct SlotRiga {
  std::string_view cod_prestazione;
  std::string_view quantita;
  std::string_view importo;
  double valore_quantita = 0;  // valnum(quantita)
  double valore_importo = 0;   // valore_importo(importo)
};

struct RicettaCorrente {
  std::int64_t nprest = 0;     // index of the current line within its ricetta; 0 after a closing row
  std::string ric_corrente;    // num_ricetta of the ricetta whose error block is open
  bool err_ricetta = false;  // the open block holds an error
  std::int64_t riga_inizio = 0;  // the data-file line where ric_corrente began
  bool ric_aperta = false;   // a ricetta has lines but no closing row yet
  double tot_calcolato = 0;    // sum of the catalogue services' amounts

  // Takes the line `r` as line i (1-based) of its ricetta: its per-line fields and values
  // (the views stay those of `r`), and for line 1 the ricetta's service date. Its ticket
  // amount and whether it is a closing row are read here too, once for every check.
  void memorizza(std::int64_t i, const RigaFlusso& r);
  // Slot i: the line taken last when it was taken as line i; any other slot is empty. (Of
  // the earlier lines of a ricetta only the first line's service date is ever read again,
  // and the one slot read other than the current line's is that of a ricetta of its closing
  // row alone, moved on from index 1 to the empty index 2.)
  const SlotRiga& slot(std::int64_t i) const { return i >= 1 && i == indice_ ? corrente_ : vuoto_; }
  // data_prestazione of the ricetta's line 1, the date of the prescription.
  const std::string& data_prima_riga() const { return data_prima_riga_; }
  // Of the line taken last: valore_importo(importo_ticket), and riga_99.
  double valore_ticket() const { return valore_ticket_; }
  bool chiusura() const { return chiusura_; }
  // Empties all slots.
  void svuota_slot();

 private:
  std::int64_t indice_ = 0;
  SlotRiga corrente_;
  SlotRiga vuoto_;
  std::string data_prima_riga_;
  double valore_ticket_ = 0;
  bool chiusura_ = false;
};

}  // namespace flussom
