#include "support/tabelle_prova.h"

#include <gtest/gtest.h>

#include <optional>

#include "base/cp1252.h"
#include "reference/costruisci_tabelle.h"

namespace flussom::prova {

namespace {

std::optional<std::string> presente(const std::string& s) {
  if (s.empty()) return std::nullopt;
  return s;
}

}  // namespace

bool costruisci_in(const std::filesystem::path& cartella, const SorgentiProva& s) {
  SorgentiTabelle sorgenti;
  sorgenti.prestazioni = presente(s.prestazioni);
  sorgenti.diagnosi = presente(s.diagnosi);
  sorgenti.comuni = presente(s.comuni);
  sorgenti.esenzioni = presente(s.esenzioni);
  sorgenti.noese = presente(s.noese);
  const EsitoCostruzione esito = costruisci_tabelle(sorgenti);
  if (esito.errore) {
    ADD_FAILURE() << "tabelle di prova rifiutate: " << esito.errore->file << ", riga "
                  << esito.errore->riga << ": " << cp1252_a_utf8(esito.errore->motivo);
    return false;
  }
  if (const auto e = scrivi_tabelle(esito.tabelle, cartella)) {
    ADD_FAILURE() << "tabelle di prova non scritte: " << cp1252_a_utf8(e->motivo);
    return false;
  }
  return true;
}

}  // namespace flussom::prova
