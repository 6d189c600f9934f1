// One check run over one data file: facility lookup, report header, every line through the
// ricetta rules and the checks, the verdict and the summary in the status text.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "run/interfaccia.h"
#include "base/orologio.h"
#include "model/totali.h"

namespace flussom {

struct ParametriRun {
  std::filesystem::path percorso_file;  // the data file; empty when none was chosen
  std::filesystem::path cartella;       // the application folder (tables and report)
  std::filesystem::path percorso_report = {};  // where the report goes; empty: errori.RPT in cartella

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
};

struct RisultatoRun {
  EsitoRun esito = EsitoRun::nessun_file;
  int risu = 0;  // 1: the report holds errors and may be viewed
  TotaliVerifica totali;
  std::string codice_struttura;        // the facility of the first line, when registered
  std::string denominazione_struttura;
  int mese = 0;                        // 1-12 from the file name; 0 when not known
};

// The application folder as a text ending in a separator (App_Pacth).
std::string App_Pacth(const std::filesystem::path& cartella);

// `simu` is set to 1 on entry; `risu` says on return whether the report holds errors.
RisultatoRun importa(const ParametriRun& parametri, Interfaccia& ui, const Orologio& orologio,
                     int& simu, int& risu);

// The same without the two flags.
RisultatoRun importa(const ParametriRun& parametri, Interfaccia& ui, const Orologio& orologio);

}  // namespace flussom
