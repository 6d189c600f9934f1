#include "rules/percorso_riga.h"

#include "rules/regole.h"
#include "rules/regole_ricetta.h"

namespace flussom {

void conta_riga(StatoRun& s) { regola_dieci_prestazioni(s); }

void percorri_riga(StatoRun& s, IndiceRicette& precedenti, Verifiche verifiche) {
  const bool tutte = verifiche == Verifiche::tutte;
  assembla_ricetta(s, precedenti);
  if (tutte) controlla_linea(s);
  if (s.e_riga_99()) {
    chiudi_ricetta(s);
    ++s.totali.nricette;
    if (tutte) controlla_chiusura(s);
    azzera_ricetta(s);
  }
  precedenti.aggiungi(s.riga.num_ricetta);
}

}  // namespace flussom
