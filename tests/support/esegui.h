// Runs the real `flussom` binary for end-to-end tests, capturing its output and exit status.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "support/cartella_temporanea.h"

namespace flussom::prova {

struct Uscita {
  int stato = -1;      // exit status
  std::string out;     // standard output, as bytes
  std::string err;     // standard error, as bytes
};

// Runs `programma` with the arguments; `ingresso` is fed on standard input (not a terminal).
Uscita esegui(const std::filesystem::path& programma, const std::vector<std::string>& argomenti,
              const std::string& ingresso = "");

// Runs FLUSSOM_BIN with the arguments; `ingresso` is fed on standard input (not a terminal).
Uscita esegui_flussom(const std::vector<std::string>& argomenti, const std::string& ingresso = "");

#ifndef _WIN32
// FLUSSOM_BIN left running (standard input /dev/null, the outputs kept in files) for a test
// that acts on it meanwhile. Killed at destruction if still running.
class FlussomAvviato {
 public:
  explicit FlussomAvviato(const std::vector<std::string>& argomenti);
  ~FlussomAvviato();
  FlussomAvviato(const FlussomAvviato&) = delete;
  FlussomAvviato& operator=(const FlussomAvviato&) = delete;

  int pid() const { return pid_; }
  // True once the program has ended (its status then kept for attendi).
  bool finito();
  // Waits for the end, at most a minute (then kills it: stato -1); stato is -1 also when a
  // signal ended it.
  Uscita attendi();

 private:
  CartellaTemporanea cartella_;  // its standard output and error
  int pid_ = -1;
  int stato_ = 0;
  bool finito_ = false;
};
#endif

#ifdef _WIN32
// Runs `programma` on a console of its own and returns, in UTF-8, what the console shows
// when it ends (one line per row, trailing blanks left out); empty when no console can be
// had (Wine gives one only with a display).
std::string schermo_console(const std::filesystem::path& programma,
                            const std::vector<std::string>& argomenti);
#endif

}  // namespace flussom::prova
