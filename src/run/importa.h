// One check run over one data file: facility lookup, report header, every line through the
// ricetta rules and the checks, the verdict and the summary in the status text.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "base/orologio.h"
#include "run/eventi_run.h"

namespace flussom {

// Runs the check, telling `eventi` what happens; the result is also the last event.
RisultatoRun importa(const ParametriRun& parametri, EventiRun& eventi, const Orologio& orologio);

// The files an output of a run must never take the place of: the data file, the
// application folder's report and its lock, and every reference table of the folder.
std::vector<std::filesystem::path> file_protetti(const ParametriRun& parametri);

// The warnings about the reference tables of `cartella` (Windows-1252), one per table that
// is missing or not a regular file: the run tells them first, as avviso events.
std::vector<std::string> avvisi_tabelle(const std::filesystem::path& cartella);

// The lock file that keeps two runs from sharing the application folder's report.
std::filesystem::path file_blocco_report(const std::filesystem::path& cartella);

}  // namespace flussom
