#include <string>
#include <string_view>

#include "base/testo.h"
#include "reference/tabelle.h"
#include "rules/regole.h"

namespace flussom {

double calcola_sconto(StatoRun& s, std::size_t numero) {
  if (numero == 0) return 0;
  const double quantita = s.slot_corrente().valore_quantita;
  if (quantita == 0) return 0;
  // A missing SCONTI.DAT, or one without this record, means no discount.
  const std::string_view rec = s.tabelle.sconti().record(numero);
  if (rec.empty()) return 0;
  // A blank field, as most are, unscrambles to nothing: a discount of 0.
  const std::string_view sconto = trim(valore(rec, campo(Tabella::sconti, "sconto")));
  return (sconto.empty() ? 0 : valnum(sconto_in_chiaro(sconto))) * quantita;
}

}  // namespace flussom
