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
  return valnum(sconto_in_chiaro(valore(rec, campo(Tabella::sconti, "sconto")))) * quantita;
}

}  // namespace flussom
