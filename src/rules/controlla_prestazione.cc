#include <string>
#include <string_view>

#include "base/formato.h"
#include "base/testo.h"
#include "rules/regole.h"

namespace flussom {

std::size_t controlla_prestazione(StatoRun& s) {
  const SlotRiga& slot = s.slot_corrente();
  const double quantita = slot.valore_quantita;
  if (s.e_riga_99()) return 0;

  const std::string_view codice = trim(slot.cod_prestazione);
  if (codice.empty()) {
    s.errore(Regola::prestazione_assente, {" Codice Prestazione assente  "});
    return 0;
  }
  const std::size_t numero = RICPRE(s.tabelle, codice);
  if (numero == 0) {
    s.errore(Regola::prestazione_inesistente, {" Cod.Prestaz.  ", codice, " inesistente   "});
    return 0;
  }

  // What the checks read of the service's records, worked out when it was first met.
  const VocePrestazione& voce = s.tabelle.prestazione(numero);
  if (!branca_consona(voce, s.riga.cod_branca))
    s.errore(Regola::prestazione_non_consona, {" Prestazione ", codice, " non consona alla Branca ", s.riga.cod_branca, "  "});

  const double importo = slot.valore_importo;
  s.ricetta.tot_calcolato += importo;
  // A quantity of 0 has already been reported by the row checks: no unit amount to compare.
  if (quantita != 0) {
    // Compared as "#####.00" texts, so the tolerance is exactly the rounding to cents.
    const std::string_view tariffa = voce.tariffa;
    const double unitario = importo / quantita;
    if (!stesso_importo(unitario, voce.valore_tariffa))
      s.errore(Regola::importo_errato, {" Importo \x80 ", formato_importo(unitario), " errato Cod.Prestaz.  ", codice, " (\x80 ",
                trim(tariffa), ")  "});
  }
  return numero;
}

}  // namespace flussom
