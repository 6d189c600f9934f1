// The lines of the status text that the front ends show around a run: the run tells its
// own (the verdict, the summary), these are the ones a front end shows before it starts and
// after a run that gave no verdict.
#pragma once

#include <string>
#include <string_view>

#include "run/eventi_run.h"

namespace flussom {

// The first line once a data file is chosen: "Apertura File : " and the file's name as the
// front end shows it (the bytes are kept as they are: ASCII text fits either encoding).
std::string riga_apertura(std::string_view file);

// The line that ends the status of a run without a verdict (Windows-1252): "Controllo NON
// completato", with the reason the run gave last (`motivo`, its last message or status line)
// or, for a run interrupted, the operator's.
std::string riga_non_completato(EsitoRun esito, std::string_view motivo);

}  // namespace flussom
