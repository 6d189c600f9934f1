#include "support/esegui.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

#include "support/cartella_temporanea.h"

namespace flussom::prova {

namespace {

namespace fs = std::filesystem;

// One argument as the C runtime splits a command line: in double quotes, a quote escaped,
// the backslashes before a quote doubled.
std::wstring tra_virgolette(const std::wstring& a) {
  std::wstring r = L"\"";
  std::size_t barre = 0;
  for (wchar_t c : a) {
    if (c == L'\\') {
      ++barre;
      continue;
    }
    r.append(c == L'"' ? 2 * barre + 1 : barre, L'\\');
    barre = 0;
    r += c;
  }
  r.append(2 * barre, L'\\');
  return r + L"\"";
}

HANDLE apri(const fs::path& p, bool scrittura) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  return CreateFileW(p.c_str(), scrittura ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ, &sa,
                     scrittura ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Runs the command line of `programma` and `argomenti` (UTF-8) to its end; its exit status, or
// -1 when it cannot be started. Without STARTF_USESTDHANDLES in `si` it shares this console.
int avvia(const fs::path& programma, const std::vector<std::string>& argomenti, STARTUPINFOW& si) {
  std::wstring riga = tra_virgolette(programma.wstring());
  for (const auto& a : argomenti)
    riga += L" " + tra_virgolette(fs::path(std::u8string(a.begin(), a.end())).wstring());
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  DWORD codice = 0;
  const BOOL eredita = (si.dwFlags & STARTF_USESTDHANDLES) != 0;
  if (!CreateProcessW(nullptr, riga.data(), nullptr, nullptr, eredita, 0, nullptr, nullptr, &si,
                      &pi))
    return -1;
  WaitForSingleObject(pi.hProcess, INFINITE);
  const bool ok = GetExitCodeProcess(pi.hProcess, &codice);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return ok ? static_cast<int>(codice) : -1;
}

}  // namespace

std::string schermo_console(const fs::path& programma, const std::vector<std::string>& argomenti) {
  FreeConsole();
  if (!AllocConsole()) return {};
  STARTUPINFOW si{};
  avvia(programma, argomenti, si);
  // The rows of the console's screen up to the cursor.
  std::string schermo;
  HANDLE h = GetStdHandle(STD_OUTPUT_HANDLE);
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (h == INVALID_HANDLE_VALUE || !GetConsoleScreenBufferInfo(h, &info))
    info.dwCursorPosition.Y = -1;
  for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
    std::wstring riga(static_cast<std::size_t>(info.dwSize.X), L' ');
    DWORD letti = 0;
    ReadConsoleOutputCharacterW(h, riga.data(), static_cast<DWORD>(riga.size()), COORD{0, y},
                                &letti);
    riga.erase(riga.find_last_not_of(L' ') + 1);
    const std::u8string u = fs::path(riga).u8string();
    schermo += std::string(u.begin(), u.end()) + "\n";
  }
  FreeConsole();
  return schermo;
}

Uscita esegui_flussom(const std::vector<std::string>& argomenti, const std::string& ingresso) {
  // A cross-built test names the program by its host path, which Wine shows as drive Z:.
  std::string programma = FLUSSOM_BIN;
  if (programma.starts_with('/')) programma = "Z:" + programma;
  return esegui(fs::path(std::u8string(programma.begin(), programma.end())), argomenti, ingresso);
}

Uscita esegui(const fs::path& programma, const std::vector<std::string>& argomenti,
              const std::string& ingresso) {
  CartellaTemporanea dir;
  STARTUPINFOW si{};
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = apri(dir.scrivi("stdin", ingresso), false);
  si.hStdOutput = apri(dir / "stdout", true);
  si.hStdError = apri(dir / "stderr", true);
  const int stato = avvia(programma, argomenti, si);
  for (HANDLE h : {si.hStdInput, si.hStdOutput, si.hStdError}) CloseHandle(h);
  return {stato, dir.leggi("stdout"), dir.leggi("stderr")};
}

}  // namespace flussom::prova
