// The summary table of a batch (riepilogo.csv), as a spreadsheet set to Italian opens it:
// UTF-8 with a byte-order mark, ";" between cells, decimal comma, CR LF after each row.
// Texts that come from outside (a file's name, a facility) are always shown as texts: a
// cell that a spreadsheet would take for a formula gets a leading apostrophe, and bytes
// that are not UTF-8 become U+FFFD, so the table stays valid UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "run/eventi_run.h"

namespace flussom {

// The byte-order mark and the header row.
std::string intestazione_riepilogo();

// The row of one data file: `file` its path as given (UTF-8, or bytes that are not), `r`
// what its run found, `blocchi` the report's numbered blocks.
std::string riga_riepilogo(std::string_view file, const RisultatoRun& r, std::int64_t blocchi);

// A text cell: not UTF-8 made U+FFFD, a leading = + - @ tab or CR behind an apostrophe,
// quoted when it holds ; " CR or LF.
std::string cella_testo(std::string_view testo);

// Whole euro cents with a decimal comma: 123456 -> "1234,56", -150 -> "-1,50".
std::string euro(long long centesimi);

// A count of services: a whole number as such, a fraction with a decimal comma, never an
// exponent (1003288 -> "1003288", 2.5 -> "2,5").
std::string numero_prestazioni(double n);

}  // namespace flussom
