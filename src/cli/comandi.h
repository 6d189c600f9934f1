// The commands of `flussom`, each taking its streams so tests can run them in-process.
#pragma once

#include <atomic>
#include <filesystem>
#include <iosfwd>
#include <cstdint>
#include <string>

#include "base/orologio.h"
#include "run/importa.h"

namespace flussom {

// Files larger than this show a progress indicator on a terminal.
inline constexpr std::uintmax_t soglia_avanzamento = 4u << 20;

struct OpzioniControlla {
  std::filesystem::path cartella;  // application folder
  std::string file;                // the data file as given (UTF-8)
  bool interattivo = false;        // standard input is a terminal
  bool avanzamento = false;        // standard error is a terminal: show progress
  std::string json;                // where to write the JSON result (UTF-8); empty: none
  std::string errori_csv;          // where to write the errors as CSV (UTF-8); empty: none
  std::filesystem::path report;    // where the report goes; empty: errori.RPT in cartella
  bool avvisi = true;              // the tables' warnings told (a batch tells them once)
  const std::atomic<bool>* interrompi = nullptr;  // see ParametriRun
  std::size_t pezzo = pezzo_predefinito();          // see ParametriRun
};

// One check run. Exit status: 0 correct, 1 a run that found something, 2 nothing checked.
int comando_controlla(const OpzioniControlla& o, const Orologio& orologio, std::istream& in,
                      std::ostream& out, std::ostream& err);

// The application folder usable (false, told on `err`, when not); missing and unusable
// tables named on `err` (a batch's warnings, told once for all its runs).
bool avvisa_tabelle(const std::filesystem::path& cartella, std::ostream& err);

struct EsitoControllo {
  int stato = 2;  // the exit status
  RisultatoRun run;
  std::int64_t blocchi = 0;  // the report's error blocks (with a JSON result)
};

// The check of `o.file` alone, the folder and the tables already looked at. An interrupted
// run writes no JSON result and no CSV of errors. Called by the batch from several threads at
// once (see lotto.h for why that is safe).
EsitoControllo controlla_file(const OpzioniControlla& o, const Orologio& orologio, std::istream& in,
                              std::ostream& out, std::ostream& err);

struct OpzioniRegistra {
  std::filesystem::path cartella;
  std::string codice, denominazione, branca1, branca2, branca3;  // UTF-8
};

// Appends one facility record. Exit status: 0 written, 2 refused or not writable.
int comando_registra(const OpzioniRegistra& o, std::ostream& out, std::ostream& err);

// A path from a UTF-8 text.
std::filesystem::path percorso_utf8(const std::string& s);

}  // namespace flussom
