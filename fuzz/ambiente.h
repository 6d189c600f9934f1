// What both fuzz targets share: a fixed application folder with small reference tables and
// a facility table, built once per process under the temporary folder, a data file made by
// the generator, a silent front end and a fixed clock, and the checks every run must pass.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "run/eventi_run.h"
#include "base/orologio.h"
#include "reference/descrittori_tabelle.h"

namespace flussom::fuzz {

// The tables of an application folder, in the order the table fuzzer splits its input: the
// comma-separated ones (strutture.DAT, NOESE.DAT), then those of fixed-length records, each in
// the order of the descriptors.
inline constexpr std::array<std::string_view, numero_tabelle> nomi_tabelle = [] {
  std::array<std::string_view, numero_tabelle> nomi{};
  std::size_t k = 0;
  for (const bool separate : {true, false})
    for (const DescrittoreTabella& d : descrittori)
      if ((d.lunghezza_record == 0) == separate) nomi[k++] = d.nome;
  return nomi;
}();

// Tables a lookup creates empty when they are missing.
bool creata_se_manca(std::string_view nome);

struct Ambiente {
  std::filesystem::path radice;    // removed when the process ends
  std::filesystem::path cartella;  // application folder holding the base tables
  std::filesystem::path dati;      // folder for data files
  std::vector<std::string> contenuti;  // bytes of each table of nomi_tabelle
};

// Built at the first call: the sample tables (municipalities cut to a few) and facility
// 123456. Exits the process when they cannot be built.
const Ambiente& ambiente();

// The CSV source `nome` of the sample tables (comuni.csv cut to its first lines).
std::string sorgente_di_esempio(std::string_view nome);

// A data file made by the generator from the base tables.
std::string genera_dati(std::uint64_t righe, double quota_errori, std::uint64_t seme);

// Answers No to every question, shows nothing, counts status lines and messages; ends the
// program at a registration.
class InterfacciaMuta : public EventiRun {
 public:
  void riga_stato(std::string_view) override { ++righe_stato; }
  void messaggio(std::string_view) override { ++messaggi; }
  EsitoRegistrazione registrazione_richiesta(std::string_view) override {
    return EsitoRegistrazione::fine_programma;
  }

  int righe_stato = 0;
  int messaggi = 0;
};

// The day every fuzzed run takes as today.
const Orologio& orologio_fisso();

std::string leggi(const std::filesystem::path& p);
void scrivi(const std::filesystem::path& p, std::string_view contenuto);

// Lines of a data file as the checker reads them: CR LF, CR and LF each end one, and a last
// line without a break counts.
std::uint64_t conta_righe(std::string_view dati);

// Stops the process with a message, so that libFuzzer keeps the input.
[[noreturn]] void guasto(const std::string& cosa);

// A CSV text of ours (a row of the batch's summary, the errors' table without its
// byte-order mark) must be valid UTF-8 and hold `righe` rows, each ended by CR LF, of
// `celle` cells, none of which a spreadsheet would take for a formula.
void controlla_csv(std::string_view testo, std::size_t righe, std::size_t celle);

// The table fuzzer's input: the tables of nomi_tabelle, in that order, with the separator
// between two of them; a part equal to `assente` is a missing table, and so is every table
// after the last part. The facility fuzzer splits its input the same way (at most as many
// parts).
inline constexpr std::string_view separatore = "\n%%\n";
inline constexpr std::string_view assente = "ASSENTE";
std::vector<std::string_view> dividi_parti(std::string_view ingresso);

}  // namespace flussom::fuzz
