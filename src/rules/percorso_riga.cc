#include "rules/percorso_riga.h"

#include "base/testo.h"
#include "rules/regole.h"
#include "rules/regole_ricetta.h"

namespace flussom {

namespace {

// The run's totals grow here only, whatever the checks found: every line's quantity and
// discount; a closing row, its ricetta, ticket and net amount (the net amount of slot
// nprest: empty for a ricetta made of its closing row alone).
void aggiungi_ai_totali(StatoRun& s, bool chiusura, double sconto) {
  const double quantita = s.slot_corrente().valore_quantita;
  s.totali.nprestazioni += quantita;
  s.totali.tot_sconto += sconto;
  if (s.addendi) {
    AddendiTotali::tieni(s.addendi->prestazioni, quantita);
    AddendiTotali::tieni(s.addendi->sconto, sconto);
  }
  if (!chiusura) return;
  ++s.totali.nricette;
  const double netto = s.slot_corrente().valore_importo, ticket = s.ricetta.valore_ticket();
  s.totali.tot_netto += netto;
  s.totali.tot_ticket += ticket;
  if (s.addendi) {
    AddendiTotali::tieni(s.addendi->netto, netto);
    AddendiTotali::tieni(s.addendi->ticket, ticket);
  }
}

}  // namespace

void conta_riga(StatoRun& s) { regola_dieci_prestazioni(s); }

void leggi_riga(StatoRun& s, std::string_view linea) {
  s.linea = linea;
  dividi_riga(linea, s.riga);
  s.ricetta.memorizza(s.ricetta.nprest, s.riga);
}

void percorri_riga(StatoRun& s, IndiceRicette& precedenti, Verifiche verifiche) {
  const bool tutte = verifiche == Verifiche::tutte;
  const bool chiusura = s.e_riga_99();  // the line's row number, read once
  assembla_ricetta(s, precedenti);
  const double sconto = tutte ? controlla_linea(s) : 0;
  if (chiusura) {
    chiudi_ricetta(s);
    if (tutte) controlla_chiusura(s);
  }
  aggiungi_ai_totali(s, chiusura, sconto);
  if (chiusura) azzera_ricetta(s);
  precedenti.aggiungi(s.riga.num_ricetta);
}

}  // namespace flussom
