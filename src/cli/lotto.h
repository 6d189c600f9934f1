// `flussom lotto`: many data files checked, N at a time, each exactly as `flussom controlla`
// checks it alone; a report and a JSON result per file and a summary table for a
// spreadsheet.
//
// Threads. controlla_file (comandi.h), and through it the whole run (importa and every
// rule), is called from several threads at once, one file each. That is safe because:
// - a run owns everything it writes: its Tabelle, report, report lock and JSON file are its
//   own objects and names (the names are checked distinct before the first file starts);
// - what the runs share is only read: the options, the clock (oggi() is const; the system
//   clock reads local time with localtime_r / localtime_s), and the application folder's
//   tables and strutture.DAT, which each run opens and reads for itself. A table that a
//   lookup creates when missing is created exclusively, so two runs creating it at once
//   both find it; no registration is asked in a batch (the question is answered No);
// - the core keeps no mutable state that threads share: its one memo, the conversions of
//   repeated amounts in riga_flusso.cc, is thread_local; and it reads the system's error
//   texts through std::error_code, not through a shared buffer;
// - the summary and the terminal are touched only by lavori_paralleli's `concluso`, which
//   runs one call at a time.
// Whatever is added to the run must keep these true.
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
