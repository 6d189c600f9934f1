// What the command line needs from the operating system.
#pragma once

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace flussom {

// True when the stream is a terminal.
bool e_terminale(std::FILE* f);

// The folder that holds the running executable (empty when it cannot be told).
std::filesystem::path cartella_eseguibile();

// The program's arguments in UTF-8. On Windows they are read from the wide command line,
// so that any name reaches the program whatever the code page.
std::vector<std::string> argomenti_utf8(int argc, char** argv);

// Sets up standard input, output and error: bytes go out as they are (never "\n" turned
// into CR LF), and UTF-8 text shows right on a Windows console.
void prepara_flussi_standard();

// A request to stop the program from outside: Ctrl-C, a termination request.
struct Interruzione {
  std::atomic<bool> chiesta{false};
  std::atomic<int> stato{0};  // the exit status it asks for: 130 Ctrl-C, 143 a termination request
};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
              "a signal handler may only store to lock-free atomics");

// From now on Ctrl-C and a termination request (SIGINT and SIGTERM; on Windows Ctrl-C and
// Ctrl-Break) no longer end the program: they set the Interruzione returned, for the
// program to stop on its own. A second one ends it at once, as before the call.
const Interruzione& intercetta_interruzione();

}  // namespace flussom
