// The report's lines gathered from its events the way errori.RPT groups them: every message
// in the numbered block that follows it, the messages after the last block apart.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "model/riga_report.h"

namespace flussom {

struct MessaggioReport {
  std::string testo;     // as written, Windows-1252
  std::int64_t riga = 0;  // 0: about no single line
  Regola regola = Regola::nessuna;
};

struct BloccoReport {
  std::int64_t numero = 0;
  std::string ricetta;
  std::int64_t prima_riga = 0, ultima_riga = 0;
  std::vector<MessaggioReport> messaggi;
};

// The lines a block covers: its ricetta's lines, stretched to every line its messages are
// about (a message may concern a line just before or after the ricetta that holds it: a
// line of the wrong length, an earlier ricetta of the same number).
void estendi_righe(std::int64_t& prima, std::int64_t& ultima, const std::vector<MessaggioReport>& messaggi);

class RaccoltaReport : public OsservatoreReport {
 public:
  void riga_report(const RigaReport& r) override;

  const std::vector<BloccoReport>& blocchi() const { return blocchi_; }
  // The blocks handed over whole, the collection left empty.
  std::vector<BloccoReport> cedi_blocchi() { return std::exchange(blocchi_, {}); }
  // The messages that no numbered block closed (a run that stopped, a month not defined).
  const std::vector<MessaggioReport>& fuori_blocco() const { return in_attesa_; }

 private:
  std::vector<BloccoReport> blocchi_;
  std::vector<MessaggioReport> in_attesa_;
};

}  // namespace flussom
