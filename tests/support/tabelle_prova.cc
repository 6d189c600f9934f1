#include "support/tabelle_prova.h"

#include <gtest/gtest.h>

#include "base/cp1252.h"
#include "reference/costruisci_tabelle.h"

namespace flussom::prova {

bool costruisci_in(const std::filesystem::path& cartella, const SorgentiProva& s) {
  SorgentiTabelle sorgenti{{"prestazioni.csv", s.prestazioni}, {"diagnosi.csv", s.diagnosi}, {"comuni.csv", s.comuni},
                           {"esenzioni.csv", s.esenzioni}, {"noese.csv", s.noese}};
  std::erase_if(sorgenti, [](const auto& sorgente) { return sorgente.second.empty(); });
  std::vector<FileTabella> tabelle;
  if (ErroreSorgente e; !costruisci_tabelle(sorgenti, tabelle, e)) {
    ADD_FAILURE() << "tabelle di prova rifiutate: " << e.file << ", riga " << e.riga << ": "
                  << cp1252_a_utf8(e.motivo);
    return false;
  }
  ErroreScrittura e;
  if (scrivi_tabelle(tabelle, cartella, e)) return true;
  ADD_FAILURE() << "tabelle di prova non scritte: " << cp1252_a_utf8(e.motivo);
  return false;
}

std::string record(Tabella t, std::initializer_list<std::pair<std::string_view, std::string>> campi, char resto) {
  std::string r(descrittore(t).lunghezza_record, resto);
  for (const auto& [nome, testo] : campi)
    for (const CampoTabella& c : descrittore(t).campi)
      if (c.nome == nome) r.replace(c.inizio, c.lunghezza, (testo + std::string(c.lunghezza, ' ')).substr(0, c.lunghezza));
  return r;
}

}  // namespace flussom::prova
