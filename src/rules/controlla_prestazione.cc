#include <string>
#include <string_view>

#include "base/formato.h"
#include "base/testo.h"
#include "rules/regole.h"

namespace flussom {

namespace {

// valnum of a two-character slot. Slots of digits and blanks, the usual ones, are read here
// (blanks ignored, as valnum ignores them): up to thirty slots are read for every line.
double valore_slot(const char* slot) {
  const auto cifra = [](char c) { return c >= '0' && c <= '9'; };
  const char a = slot[0], b = slot[1];
  if (cifra(a) && cifra(b)) return (a - '0') * 10 + (b - '0');
  if (a == ' ' && cifra(b)) return b - '0';
  if (cifra(a) && b == ' ') return a - '0';
  if (a == ' ' && b == ' ') return 0;
  return valnum(std::string_view(slot, 2));
}

// The line's specialty among the 30 two-character slots of the service's TERA001.DAT
// record. A service with no specialty listed (or no record at all) suits every specialty.
bool branca_consona(std::string_view rec_tera001, std::string_view cod_branca) {
  constexpr CampoTabella campo_branche = campo(Tabella::tera001, "branche");
  constexpr std::size_t slot_branche = campo_branche.lunghezza / larghezza_branca;
  const std::string_view branche = valore(rec_tera001, campo_branche);
  if (branche.empty()) return true;
  // A record of blanks lists no specialty: every slot reads 0, and the answer is yes
  // whatever the line's specialty, without reading the thirty slots one by one.
  if (trim(branche).empty()) return true;
  const double branca = valnum(cod_branca);
  std::size_t vuoti = 0;
  for (std::size_t i = 0; i < slot_branche; ++i) {
    const double b = valore_slot(branche.data() + larghezza_branca * i);
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

  if (!branca_consona(s.tabelle.tera001().record(numero), s.riga.cod_branca))
    s.errore(Regola::prestazione_non_consona, {" Prestazione ", codice, " non consona alla Branca ", s.riga.cod_branca, "  "});

  const double importo = slot.valore_importo;
  s.ricetta.tot_calcolato += importo;
  // A quantity of 0 has already been reported by the row checks: no unit amount to compare.
  if (quantita != 0) {
    // Compared as "#####.00" texts, so the tolerance is exactly the rounding to cents.
    // The tariff read in place: no copy of the record per line.
    const std::string_view tariffa = valore(s.tabelle.terapie().record(numero), campo(Tabella::terapie, "tariffa"));
    const double unitario = importo / quantita;
    if (!stesso_importo(unitario, valnum(tariffa)))
      s.errore(Regola::importo_errato, {" Importo \x80 ", formato_importo(unitario), " errato Cod.Prestaz.  ", codice, " (\x80 ",
                trim(tariffa), ")  "});
  }
  return numero;
}

}  // namespace flussom
