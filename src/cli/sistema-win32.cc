#include "cli/sistema.h"

#include <io.h>
#include <windows.h>

#include <vector>

namespace flussom {

bool e_terminale(std::FILE* f) { return _isatty(_fileno(f)) != 0; }

std::filesystem::path cartella_eseguibile() {
  std::vector<wchar_t> buf(32768);
  const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
  if (n == 0 || n >= buf.size()) return {};
  return std::filesystem::path(std::wstring(buf.data(), n)).parent_path();
}

}  // namespace flussom
