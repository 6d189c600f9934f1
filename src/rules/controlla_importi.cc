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
  const double valore_ticket = s.ricetta.valore_ticket();
  const double valore_netto = s.slot_corrente().valore_importo;

  const double posizione = valnum(r.pos_ticket);
  if (posizione > 1 && valore_ticket == 0)
    s.errore(Regola::ticket_non_esente_senza_importo,
             {" Incongruenza pos.ticket non esente ed importo \x80 ", virgola_in_punto(r.importo_ticket), " "});
  if (posizione == 1 && valore_ticket > 0)
    s.errore(Regola::ticket_esente_con_importo,
             {" Incongruenza pos.ticket esente ed importo \x80 ", virgola_in_punto(r.importo_ticket), " "});
  if (posizione > 1 && !r.cod_esenzione.empty()) s.errore(Regola::ticket_con_esenzione, {" Incongruenza ticket + codice esenzione"});

  const double contabile = valnum(r.pos_contabile);
  if (!(contabile >= 1 && contabile <= 3)) s.errore(Regola::posizione_contabile_errata, {" Posizione contabile errata o mancante "});

  // Both totals in the amount pattern, so they are compared to the cent.
  if (!stesso_importo(valore_ticket + valore_netto, s.ricetta.tot_calcolato)) {
    const std::string dichiarato = formato_importo(valore_ticket + valore_netto);
    s.errore(Regola::totale_errato, {" Totale \x80 ", numero_semplice(valore_importo(dichiarato)), " errato, calcolato  \x80 ",
              formato_importo(s.ricetta.tot_calcolato)});
  }

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
