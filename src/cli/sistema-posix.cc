#include "cli/sistema.h"

#include <unistd.h>

namespace flussom {

bool e_terminale(std::FILE* f) { return isatty(fileno(f)) == 1; }

std::filesystem::path cartella_eseguibile() {
  std::error_code ec;
  auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : p.parent_path();
}

std::vector<std::string> argomenti_utf8(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

void prepara_flussi_standard() {}

}  // namespace flussom
