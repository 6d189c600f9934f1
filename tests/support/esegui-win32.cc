#include "support/esegui.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

#include "support/cartella_temporanea.h"

namespace flussom::prova {

namespace {

std::wstring largo(const std::string& s) {
  return std::filesystem::path(std::u8string(s.begin(), s.end())).wstring();
}

std::string utf8(const std::wstring& w) {
  const std::u8string u = std::filesystem::path(w).u8string();
  return std::string(u.begin(), u.end());
}

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

HANDLE apri(const std::filesystem::path& p, bool scrittura) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  return CreateFileW(p.c_str(), scrittura ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ, &sa,
                     scrittura ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::wstring riga_comando(const std::filesystem::path& programma,
                          const std::vector<std::string>& argomenti) {
  std::wstring riga = tra_virgolette(programma.wstring());
  for (const auto& a : argomenti) riga += L" " + tra_virgolette(largo(a));
  return riga;
}

// The rows of the console's screen up to the cursor.
std::string leggi_schermo() {
  HANDLE h = GetStdHandle(STD_OUTPUT_HANDLE);
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (h == INVALID_HANDLE_VALUE || !GetConsoleScreenBufferInfo(h, &info)) return {};
  std::string schermo;
  for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
    std::wstring riga(static_cast<std::size_t>(info.dwSize.X), L' ');
    DWORD letti = 0;
    ReadConsoleOutputCharacterW(h, riga.data(), static_cast<DWORD>(riga.size()), COORD{0, y}, &letti);
    riga.erase(riga.find_last_not_of(L' ') + 1);
    schermo += utf8(riga) + "\n";
  }
  return schermo;
}

}  // namespace

std::string schermo_console(const std::filesystem::path& programma,
                            const std::vector<std::string>& argomenti) {
  FreeConsole();
  if (!AllocConsole()) return {};
  std::wstring riga = riga_comando(programma, argomenti);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  // No handles given: the program writes to the console it shares with this one.
  if (CreateProcessW(nullptr, riga.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    WaitForSingleObject(pi.hProcess, INFINITE);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  const std::string schermo = leggi_schermo();
  FreeConsole();
  return schermo;
}

Uscita esegui_flussom(const std::vector<std::string>& argomenti, const std::string& ingresso) {
  // A cross-built test names the program by its host path, which Wine shows as drive Z:.
  std::string programma = FLUSSOM_BIN;
  if (programma.starts_with('/')) programma = "Z:" + programma;
  return esegui(std::filesystem::path(std::u8string(programma.begin(), programma.end())), argomenti,
                ingresso);
}

Uscita esegui(const std::filesystem::path& programma, const std::vector<std::string>& argomenti,
              const std::string& ingresso) {
  CartellaTemporanea dir;
  std::wstring riga = riga_comando(programma, argomenti);

  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = apri(dir.scrivi("stdin", ingresso), false);
  si.hStdOutput = apri(dir / "stdout", true);
  si.hStdError = apri(dir / "stderr", true);
  PROCESS_INFORMATION pi{};
  Uscita u;
  if (CreateProcessW(nullptr, riga.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD codice = 0;
    if (GetExitCodeProcess(pi.hProcess, &codice)) u.stato = static_cast<int>(codice);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  for (HANDLE h : {si.hStdInput, si.hStdOutput, si.hStdError}) CloseHandle(h);
  return {u.stato, dir.leggi("stdout"), dir.leggi("stderr")};
}

}  // namespace flussom::prova
