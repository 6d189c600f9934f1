// Runs the real `flussom` binary for end-to-end tests, capturing its output and exit status.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

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

#ifdef _WIN32
// Runs `programma` on a console of its own and returns, in UTF-8, what the console shows
// when it ends (one line per row, trailing blanks left out); empty when no console can be
// had (Wine gives one only with a display).
std::string schermo_console(const std::filesystem::path& programma,
                            const std::vector<std::string>& argomenti);
#endif

}  // namespace flussom::prova
