// Fixture tables for tests, built from CSV sources written inline with the same code that
// `flussom tabelle costruisci` uses. Each source is the whole CSV text, header line included,
// in UTF-8 (write "è" as "\xC3\xA8"); an empty source builds no table. The columns:
//   prestazioni  codice,descrizione,tariffa,branche,sconto   TERAPIE, TERA001, SCONTI.DAT
//   diagnosi     codice,descrizione                           ICD9.DAT
//   comuni       codice,descrizione                           COMUXX.DAT
//   esenzioni    codice,descrizione                           CODESE.DAT
//   noese        prestazione,esenzioni                        NOESE.DAT
// Example:
//   prova::SorgentiProva s;
//   s.prestazioni = prova::intestazione_prestazioni + "89.7,PRIMA VISITA,20.66,08 09,1.50\n";
//   prova::costruisci_in(cartella.percorso(), s);
#pragma once

#include <filesystem>
#include <string>

namespace flussom::prova {

inline const std::string intestazione_prestazioni = "codice,descrizione,tariffa,branche,sconto\n";
inline const std::string intestazione_codici = "codice,descrizione\n";
inline const std::string intestazione_noese = "prestazione,esenzioni\n";

struct SorgentiProva {
  std::string prestazioni;
  std::string diagnosi;
  std::string comuni;
  std::string esenzioni;
  std::string noese;
};

// Builds the tables of `s` into `cartella`. A refused source fails the current test (with
// the builder's file, line and reason) and writes nothing; the result says whether it worked.
bool costruisci_in(const std::filesystem::path& cartella, const SorgentiProva& s);

}  // namespace flussom::prova
