// The errors of one check run as a table that a spreadsheet set to Italian opens directly,
// in the dialect of riepilogo.csv (UTF-8 with a byte-order mark, ";" between cells, CR LF
// after each row, texts from outside always shown as texts): a header row, then one row per
// message of the report in its order, with its block, ricetta, data-file line, rule, fields
// and text; the messages that no numbered block closed (a month not defined, a line of the
// wrong length that stopped the run) come last, with the block and ricetta cells empty.
// Written as the run goes, block by block, so its size never has to fit in memory.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "model/riga_report.h"
#include "run/raccolta_report.h"

namespace flussom {

class ScrittoreErroriCsv : public OsservatoreReport {
 public:
  // Where the table's text goes, piece by piece; false when it could not be written.
  using Uscita = std::function<bool(std::string_view)>;

  // The byte-order mark and the header row are written at once.
  explicit ScrittoreErroriCsv(Uscita uscita);

  // A report line: a message waits for its block, a numbered line writes the block's rows.
  void riga_report(const RigaReport& r) override;

  // The rows of a block gathered whole (by the window's browser); a block numbered 0 holds
  // messages outside any block.
  void scrivi_blocco(const BloccoReport& b);

  // The rows of the messages that no block closed. False when any piece could not be written.
  bool concludi();

 private:
  void scrivi(std::string_view testo);

  Uscita uscita_;
  bool scritto_ = true;
  RaccoltaReport raccolta_;  // at most the block not yet closed
};

}  // namespace flussom
