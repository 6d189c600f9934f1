#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/testo.h"
#include "rules/regole.h"

namespace flussom {

namespace {

// Exemptions that cover every service: three codes and every code starting with one of
// thirteen letters (upper case only, R99 among them).
bool esenzione_generale(std::string_view codice) {
  for (std::string_view c : {"D01", "M50", "M51"})
    if (codice == c) return true;
  return std::string_view("EGLRSCNVITBFP").find(codice.front()) != std::string_view::npos;
}

}  // namespace

void controlla_esenzione(StatoRun& s) {
  if (s.e_riga_99()) return;
  const std::string_view esenzione = trim(s.riga.cod_esenzione);
  if (esenzione.empty() || esenzione_generale(esenzione)) return;

  const std::string_view prestazione = trim(s.slot_corrente().cod_prestazione);
  // A service without records is covered by every exemption.
  const std::optional<ElencoNoese> record = s.tabelle.noese(prestazione);
  if (!record) return;

  std::string cercato = "*";
  cercato += esenzione;
  // Every record of the service that does not list the code is reported; the first one
  // that lists it ends the search.
  for (std::size_t i = 0; i < record->size(); ++i) {
    for (const std::string_view elenco : (*record)[i].esenzioni)
      if (elenco.find(cercato) != std::string_view::npos) return;
    s.errore(Regola::prestazione_non_esente, {" Per l'esenzione ", esenzione, " la prestazione ", prestazione,
              " non \xE8 Esente "});
  }
}

}  // namespace flussom
