#include <string>
#include <string_view>

#include "check/formato.h"
#include "check/testo.h"
#include "rules/regole.h"

namespace flussom {

namespace {

// The line's specialty among the 30 two-character slots of the service's TERA001.DAT
// record. A service with no specialty listed (or no record at all) suits every specialty.
bool branca_consona(std::string_view rec_tera001, std::string_view cod_branca) {
  constexpr std::size_t slot_branche = 30;
  if (rec_tera001.size() < 2 * slot_branche) return true;
  const double branca = valnum(cod_branca);
  std::size_t vuoti = 0;
  for (std::size_t i = 0; i < slot_branche; ++i) {
    const double b = valnum(rec_tera001.substr(2 * i, 2));
    if (b == 0) ++vuoti;
    // Numeric comparison: "09" and "9 " are the same specialty, and an empty cod_branca
    // matches the first empty slot.
    if (branca == b) return true;
  }
  return vuoti == slot_branche;
}

}  // namespace

std::size_t controlla_prestazione(StatoRun& s) {
  const SlotRiga& slot = s.slot_corrente();
  const double quantita = valnum(slot.quantita);
  s.totali.nprestazioni += quantita;
  if (s.e_riga_99()) return 0;

  const std::string_view codice = trim(slot.cod_prestazione);
  if (codice.empty()) {
    s.errore({" Codice Prestazione assente  "});
    return 0;
  }
  RecTerapie rec;
  const std::size_t numero = RICPRE(s.tabelle, codice, &rec);
  if (numero == 0) {
    s.errore({" Cod.Prestaz.  ", codice, " inesistente   "});
    return 0;
  }

  if (!branca_consona(s.tabelle.tera001().record(numero), s.riga.cod_branca))
    s.errore({" Prestazione ", codice, " non consona alla Branca ", s.riga.cod_branca, "  "});

  const double importo = valore_importo(slot.importo);
  s.ricetta.tot_calcolato += importo;
  // A quantity of 0 has already been reported by the row checks: no unit amount to compare.
  if (quantita != 0) {
    // Compared as "#####.00" texts, so the tolerance is exactly the rounding to cents.
    const std::string unitario = formato_importo(importo / quantita);
    if (unitario != formato_importo(valnum(rec.tariffa)))
      s.errore({" Importo \x80 ", unitario, " errato Cod.Prestaz.  ", codice, " (\x80 ",
                trim(rec.tariffa), ")  "});
  }
  return numero;
}

}  // namespace flussom
