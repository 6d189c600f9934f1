// The checks of a line and of a closing row, in their fixed order. Each family lives in its
// own file; adding a check is one line here and one file.
#pragma once

#include <cstddef>

#include "rules/stato_run.h"

namespace flussom {

// Service-row checks, applied to every line (closing rows included) in this order.
void controlla_riga(StatoRun& s);                  // doctor, row number, quantity, booking date, cf length, diagnosis
void controlla_esenzione(StatoRun& s);             // exemption against service (NOESE.DAT)
std::size_t controlla_prestazione(StatoRun& s);    // service code, specialty, amount; gives numero
double calcola_sconto(StatoRun& s, std::size_t numero);  // discount of a catalogue service, times its quantity

// Prescription checks, applied to every closing row after the service-row checks.
void controlla_testata(StatoRun& s);   // facility as read, prescription number, patient
void controlla_codifica(StatoRun& s);  // specialty, ASL, nomenclature, dates, personal data, doctor
void controlla_importi(StatoRun& s);   // ticket, accounting position, totals, exemption code

// The service-row checks; gives the line's discount (0 when it has none).
inline double controlla_linea(StatoRun& s) {
  controlla_riga(s);
  controlla_esenzione(s);
  const std::size_t numero = controlla_prestazione(s);
  return numero > 0 ? calcola_sconto(s, numero) : 0;
}

inline void controlla_chiusura(StatoRun& s) {
  controlla_testata(s);
  controlla_codifica(s);
  controlla_importi(s);
}

}  // namespace flussom
