// The result of one check run as a JSON document (UTF-8) for programs: outcome, summary,
// and the report's blocks with where each message comes from.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>

#include "run/importa.h"
#include "run/raccolta_report.h"

namespace flussom {

// The outcome's name in the document ("corretto", "errori", ... "non_controllato").
const char* nome_esito(EsitoRun esito);

// The exit status of a run: 0 correct, 1 a run that found something, 2 nothing checked.
int stato_uscita(EsitoRun esito);

// Amounts as whole euro cents.
long long centesimi(double euro);

struct DatiRisultato {
  std::string file;  // the data file as given (UTF-8)
  std::chrono::year_month_day giorno;
  const RisultatoRun& run;
  const RaccoltaReport& report;
};

// The document, indented.
std::string risultato_json(const DatiRisultato& d);

// Writes `testo` to `percorso` whole or not at all (through a temporary file beside it).
bool scrivi_file_intero(const std::filesystem::path& percorso, const std::string& testo, std::string& errore);

}  // namespace flussom
