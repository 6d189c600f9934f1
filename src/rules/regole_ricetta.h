// The rules on the shape of a ricetta: at most ten services and a closing row, a closing
// row that does not stand alone, a closing row for every ricetta, a number that does not
// occur twice, and the closing of each ricetta's error block in the report.
#pragma once

#include <cstdint>

#include "model/indice_ricette.h"
#include "rules/stato_run.h"

namespace flussom {

// Counts the line in its ricetta and reports the twelfth line and every later one.
void regola_dieci_prestazioni(StatoRun& s);

// After the split: only-closing-row, missing-closing-row, closing of the previous block,
// first line of a ricetta with the duplicate check against `precedenti` (the numbers of
// every earlier line of the file).
void assembla_ricetta(StatoRun& s, const IndiceRicette& precedenti);

// A closing row after the service-row checks: the ricetta is no longer open.
void chiudi_ricetta(StatoRun& s);

// A closing row after the prescription checks: the ricetta's values are cleared; its error
// block stays open until the next ricetta begins or the file ends.
void azzera_ricetta(StatoRun& s);

// At the end of the file: a ricetta still open lacks its closing row; the open error block is
// closed with the last line of the file.
void fine_ricette(StatoRun& s);

// Closes the open error block: its numbered line naming ric_corrente and an empty line.
// `ultima_riga`: the last data-file line of the block's ricetta.
void chiudi_blocco(StatoRun& s, std::int64_t ultima_riga);

// The numbered line of error block `numero`, which names its ricetta and its lines.
void scrivi_blocco(ReportErrori& report, std::int64_t numero, std::string_view ricetta, std::int64_t prima_riga,
                   std::int64_t ultima_riga);

}  // namespace flussom
