// Money checks of a closing row: the run totals, ticket position against ticket amount and
// exemption, accounting position, declared against computed total, exemption code.
#include <string>

#include "base/formato.h"
#include "base/testo.h"
#include "rules/regole.h"

namespace flussom {

void controlla_importi(StatoRun& s) {
  const RigaFlusso& r = s.riga;

  // The net amount is the one of slot nprest: empty for a ricetta made of its closing row
  // alone.
  const std::string ticket = virgola_in_punto(r.importo_ticket);
  const std::string netto = virgola_in_punto(s.slot_corrente().importo);
  const double valore_ticket = valnum(ticket);
  const double valore_netto = valnum(netto);
  // Both totals in the amount pattern, so they are compared to the cent.
  const std::string dichiarato = formato_importo(valore_ticket + valore_netto);
  const std::string calcolato = formato_importo(s.ricetta.tot_calcolato);

  const double posizione = valnum(r.pos_ticket);
  if (posizione > 1 && valore_ticket == 0)
    s.errore(Regola::ticket_non_esente_senza_importo, {" Incongruenza pos.ticket non esente ed importo \x80 ", ticket, " "});
  if (posizione == 1 && valore_ticket > 0)
    s.errore(Regola::ticket_esente_con_importo, {" Incongruenza pos.ticket esente ed importo \x80 ", ticket, " "});
  if (posizione > 1 && !r.cod_esenzione.empty()) s.errore(Regola::ticket_con_esenzione, {" Incongruenza ticket + codice esenzione"});

  const double contabile = valnum(r.pos_contabile);
  if (!(contabile >= 1 && contabile <= 3)) s.errore(Regola::posizione_contabile_errata, {" Posizione contabile errata o mancante "});

  if (calcolato != dichiarato)
    s.errore(Regola::totale_errato, {" Totale \x80 ", numero_semplice(valore_importo(dichiarato)), " errato, calcolato  \x80 ",
              calcolato});

  if (posizione == 3) s.errore(Regola::esenzione_errata, {" Codice esenzione errato "});
  if (posizione == 1) {
    if (r.cod_esenzione.empty()) {
      s.errore(Regola::esenzione_assente, {" Codice esenzione assente"});
    } else if (cerca_esenzione(s.tabelle, r.cod_esenzione) == 0) {
      s.errore(Regola::esenzione_inesistente, {" Codice esenzione ", r.cod_esenzione, " inesistente"});
    }
  }
}

}  // namespace flussom
