// Fixture tables for tests, built from inline CSV sources (header line included, UTF-8) by
// the code of `flussom tabelle costruisci`; an empty source builds no table. Example:
//   s.prestazioni = prova::intestazione_prestazioni + "89.7,PRIMA VISITA,20.66,08 09,1.50\n";
#pragma once

#include <filesystem>
#include <string>
#include <utility>

#include "reference/descrittori_tabelle.h"

namespace flussom::prova {

inline const std::string intestazione_prestazioni = "codice,descrizione,tariffa,branche,sconto\n";
inline const std::string intestazione_codici = "codice,descrizione\n";
inline const std::string intestazione_noese = "prestazione,esenzioni\n";

struct SorgentiProva {
  std::string prestazioni;  // TERAPIE, TERA001 and SCONTI.DAT
  std::string diagnosi, comuni, esenzioni;  // ICD9, COMUXX and CODESE.DAT
  std::string noese;  // NOESE.DAT
};

// Builds the tables of `s` into `cartella`. A refused source fails the current test (with
// the builder's file, line and reason) and writes nothing; the result says whether it worked.
bool costruisci_in(const std::filesystem::path& cartella, const SorgentiProva& s);

// A record of a fixed-length table: the fields named, each cut or blank-padded to its width,
// and `resto` in every other byte.
std::string record(Tabella t, std::initializer_list<std::pair<std::string_view, std::string>> campi, char resto = ' ');

}  // namespace flussom::prova
