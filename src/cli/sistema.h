// What the command line needs from the operating system.
#pragma once

#include <cstdio>
#include <filesystem>

namespace flussom {

// True when the stream is a terminal.
bool e_terminale(std::FILE* f);

// The folder that holds the running executable (empty when it cannot be told).
std::filesystem::path cartella_eseguibile();

}  // namespace flussom
