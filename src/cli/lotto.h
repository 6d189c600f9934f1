// `flussom lotto`: many data files checked, N at a time, each exactly as `flussom controlla`
// checks it alone; a report and a JSON result per file and a summary table for a
// spreadsheet.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

#include "base/orologio.h"
#include "cli/sistema.h"

namespace flussom {

struct OpzioniLotto {
  std::filesystem::path cartella;     // application folder (tables)
  std::filesystem::path uscita;       // where reports, results and riepilogo.csv go
  unsigned processi = 0;              // files checked at a time; 0: one per core
  std::vector<std::string> percorsi;  // data files and folders (UTF-8)
  bool avanzamento = false;           // standard error is a terminal: show progress
  const Interruzione* interruzione = nullptr;  // once asked: no file started, the ones under way stopped
};

// The data files of the paths: a folder gives its *.txt files (any letter case) and names
// without an extension, in name order, not recursively; anything else is taken as given.
std::vector<std::filesystem::path> file_del_lotto(const std::vector<std::filesystem::path>& percorsi);

// Refuses, before anything is checked or written, an empty path, the application folder
// as the output folder, and outputs that would take the place of a data file of the batch
// or of the application folder's files. The old riepilogo.csv goes before the first file
// is checked; the new one is written whole at the end. A file's report and result stand
// both or neither. Exit status: 0 every file correct, 2 at least one not checked (or the
// outputs not writable, or the batch refused), else 1; when interrupted, the status the
// interruption asks for, with no summary.
int comando_lotto(const OpzioniLotto& o, const Orologio& orologio, std::ostream& out, std::ostream& err);

}  // namespace flussom
