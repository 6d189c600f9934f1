// The result of one check run as a JSON document (UTF-8) for programs: the report's blocks
// with where each message comes from, then the outcome and the summary. The document is
// written as the run goes, each block when the report closes it, so its size never has to
// fit in memory.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "model/riga_report.h"
#include "run/eventi_run.h"
#include "run/raccolta_report.h"

namespace flussom {

// The outcome's name in the document ("corretto", "errori", ... "non_controllato").
const char* nome_esito(EsitoRun esito);

// The exit status of a run: 0 correct, 1 a run that found something, 2 nothing checked.
int stato_uscita(EsitoRun esito);

// Amounts as whole euro cents.
long long centesimi(double euro);

class ScrittoreJson : public OsservatoreReport {
 public:
  // Where the document's text goes, piece by piece; false when it could not be written.
  using Uscita = std::function<bool(std::string_view)>;

  // `file`: the data file as given (UTF-8); `giorno`: the day of the check. The document's
  // opening is written at once.
  ScrittoreJson(std::string_view file, std::chrono::year_month_day giorno, Uscita uscita);

  // A report line: a message waits for its block, a numbered line writes the block.
  void riga_report(const RigaReport& r) override;

  // The rest of the document once the run is over. False when any piece could not be written.
  bool concludi(const RisultatoRun& r);

  std::int64_t blocchi() const { return blocchi_; }

 private:
  void scrivi(std::string_view testo);

  Uscita uscita_;
  bool scritto_ = true;
  std::int64_t blocchi_ = 0;
  std::vector<MessaggioReport> in_attesa_;  // the messages of the block not yet closed
};

}  // namespace flussom
