// One check run over one data file: facility lookup, report header, every line through the
// ricetta rules and the checks, the verdict and the summary in the status text.
#pragma once

#include "base/orologio.h"
#include "run/eventi_run.h"

namespace flussom {

// Runs the check, telling `eventi` what happens; the result is also the last event.
RisultatoRun importa(const ParametriRun& parametri, EventiRun& eventi, const Orologio& orologio);

}  // namespace flussom
