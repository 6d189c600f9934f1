// What the command line needs from the operating system.
#pragma once

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

}  // namespace flussom
