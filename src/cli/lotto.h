// `flussom lotto`: many data files checked, N at a time, each exactly as `flussom controlla`
// checks it alone; a report and a JSON result per file and a summary table for a
// spreadsheet.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

#include "base/orologio.h"

namespace flussom {

struct OpzioniLotto {
  std::filesystem::path cartella;     // application folder (tables)
  std::filesystem::path uscita;       // where reports, results and riepilogo.csv go
  unsigned processi = 0;              // files checked at a time; 0: one per core
  std::vector<std::string> percorsi;  // data files and folders (UTF-8)
  bool avanzamento = false;           // standard error is a terminal: show progress
};

// The data files of the paths: a folder gives its *.txt files (any letter case) and names
// without an extension, in name order, not recursively; anything else is taken as given.
std::vector<std::filesystem::path> file_del_lotto(const std::vector<std::filesystem::path>& percorsi);

// Exit status: 0 every file correct, 2 at least one not checked (or the outputs not
// writable), else 1.
int comando_lotto(const OpzioniLotto& o, const Orologio& orologio, std::ostream& out, std::ostream& err);

}  // namespace flussom
