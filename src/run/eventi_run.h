// A check run told as events: what the run does, in order, for whoever follows it (the
// desktop window, the terminal, a batch or JSON writer). Every listener method has a
// do-nothing default, so a front end implements only what it cares about. The run reads
// nothing back except the answers to its questions. Every text is Windows-1252.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "base/file_sicuro.h"
#include "model/riga_report.h"
#include "model/totali.h"

namespace flussom {

// The bytes of a data file that one core checks at a time when a large file is checked on
// two cores (on a machine that has them).
inline std::size_t pezzo_predefinito() { return std::thread::hardware_concurrency() > 1 ? std::size_t{1} << 20 : 0; }

struct ParametriRun {
  std::filesystem::path percorso_file;  // the data file; empty when none was chosen
  std::filesystem::path cartella;       // the application folder (tables and report)
  std::filesystem::path percorso_report = {};  // where the report goes; empty: errori.RPT in cartella
  // Once set, the run stops within a few thousand lines (a batch that is interrupted); a
  // report written whole is then dropped. None: the run goes to the end.
  const std::atomic<bool>* interrompi = nullptr;
  // A file of at least two pieces of this size is checked on two cores (every output the
  // same); 0: on one core, as a batch that already checks several files at once wants.
  std::size_t pezzo = pezzo_predefinito();

  bool file_scelto() const { return !percorso_file.empty(); }
  std::filesystem::path report() const {
    return percorso_report.empty() ? cartella / "errori.RPT" : percorso_report;
  }
};

// How a run ended.
enum class EsitoRun {
  nessun_file,            // no file chosen: nothing read, the report exists and is empty
  mese_non_definito,      // month of the file name not defined
  lunghezza_errata,       // a line of the wrong length before any error
  struttura_non_trovata,  // a line's facility is not registered
  con_errori,             // end of the file, errors reported
  corretto,               // end of the file, no error
  file_non_leggibile,     // the data file could not be opened or read
  report_non_scrivibile,  // the report could not be created or written
  programma_terminato,    // "Fine Procedura" in the registration window
  controllo_in_corso,     // another run holds the folder's report: nothing done
  interrotto,             // stopped by ParametriRun::interrompi: no verdict
};

// What a run found: the one answer of a run.
struct RisultatoRun {
  EsitoRun esito = EsitoRun::nessun_file;
  bool errori_nel_report = false;  // the report holds errors and may be viewed
  TotaliVerifica totali;
  std::string codice_struttura = {};  // the facility of the first line, when registered
  std::string denominazione_struttura = {};
  int mese = {};  // 1-12 from the file name; 0 when not known
  // The report as the run left it, taken while the run still held the folder's report: a
  // front end can later tell whether it is still this run's (nothing when it was not written).
  std::optional<IdentitaFile> report_scritto = {};
};

// How the facility registration was left.
enum class EsitoRegistrazione {
  chiusa,          // a record was written, or the registration was abandoned: look again
  fine_programma,  // "Fine Procedura": the program ends
};

class EventiRun {
 public:
  virtual ~EventiRun() = default;

  // The run begins.
  virtual void run_iniziato(const ParametriRun&) {}

  // A warning that does not stop the run: a reference table missing or unusable, which the
  // run treats as empty.
  virtual void avviso(std::string_view /*testo*/) {}
  // The facility of the data file, or of a later line naming another one.
  virtual void struttura_trovata(std::string_view /*nome*/) {}

  // The facility of the file is not registered: may it be registered now? (Yes: true.)
  virtual bool domanda(std::string_view /*testo*/) { return false; }

  // Registration of facility `codstru` is needed; says how the registration was left.
  virtual EsitoRegistrazione registrazione_richiesta(std::string_view /*codstru*/) {
    return EsitoRegistrazione::chiusa;
  }

  // The report is about to be created anew: an earlier report no longer stands (even when
  // creating it then fails).
  virtual void report_azzerato() {}

  // The line loop: reading starts, the progress range (in lines), the line just read (a
  // value beyond the range is to be ignored), reading ends.
  virtual void lettura_iniziata() {}
  virtual void intervallo_progresso(std::int64_t /*minimo*/, std::int64_t /*massimo*/) {}
  virtual void progresso(std::int64_t /*valore*/) {}
  virtual void lettura_finita() {}

  // A line written to the report, with where it comes from. Its texts live only for the call.
  virtual void riga_report(const RigaReport&) {}

  // A line of the status text.
  virtual void riga_stato(std::string_view /*riga*/) {}

  // A message for the operator (a box with OK in the window).
  virtual void messaggio(std::string_view /*testo*/) {}

  // The run is over; the same result is returned by the run.
  virtual void run_finito(const RisultatoRun&) {}
};

}  // namespace flussom
