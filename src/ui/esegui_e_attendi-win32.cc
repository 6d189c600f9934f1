#include "ui/esegui_e_attendi.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <QCoreApplication>
#include <string>
#include <vector>

namespace flussom {

namespace {

// The first visible top-level window, without an owner, of the process `pid`; 0 when there is
// none. A program also owns hidden top-level windows (the input method's, for one), which may
// come first and never carry its title.
HWND finestra_del_processo(DWORD pid) {
  for (HWND w = FindWindowA(nullptr, nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
    DWORD proprietario = 0;
    GetWindowThreadProcessId(w, &proprietario);
    if (proprietario == pid && GetWindow(w, GW_OWNER) == nullptr && IsWindowVisible(w)) return w;
  }
  return nullptr;
}

}  // namespace

int esegui_e_attendi(const QString& comando, int stile, const std::function<void()>& avviato,
                     bool* primo_piano) {
  stile = stile_valido(stile);

  STARTUPINFOW si;
  ZeroMemory(&si, sizeof si);
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = static_cast<WORD>(stile);
  PROCESS_INFORMATION pi;
  ZeroMemory(&pi, sizeof pi);
  // CreateProcessW may write into the command line: give it its own copy.
  const std::wstring testo = comando.toStdWString();
  std::vector<wchar_t> riga(testo.begin(), testo.end());
  riga.push_back(L'\0');
  if (!CreateProcessW(nullptr, riga.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi))
    return base_errore_avvio + static_cast<int>(GetLastError());
  CloseHandle(pi.hThread);
  const DWORD pid = pi.dwProcessId;
  // The handle that the start gives can already query the exit code.
  HANDLE processo = pi.hProcess;

  HWND finestra = finestra_del_processo(pid);
  bool detto = false;
  const auto segnala = [&] {
    if (avviato && !detto) avviato();
    detto = true;
  };
  DWORD codice = STILL_ACTIVE;
  int giro = 0;
  do {
    // The window usually appears a moment after the start, and a program may replace it: look
    // again until there is one that is still shown.
    if (finestra == nullptr || !IsWindow(finestra) || !IsWindowVisible(finestra))
      finestra = finestra_del_processo(pid);
    if (finestra != nullptr || giro == giri_attesa_finestra) segnala();
    ++giro;
    if (finestra != nullptr) {
      char titolo[256] = {};
      if (GetWindowTextA(finestra, titolo, static_cast<int>(sizeof titolo)) > 0 &&
          QString::fromLocal8Bit(titolo).toUpper().startsWith(QLatin1String("FINISHED"))) {
        // A hung window must not hang the wait: give up on the message after a second.
        DWORD_PTR esito = 0;
        SendMessageTimeoutA(finestra, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 1000, &esito);
      }
    }
    if (finestra != nullptr && primo_piano && *primo_piano) {
      // This program has the foreground (its window was just clicked): it may hand it over.
      if (IsIconic(finestra)) ShowWindow(finestra, SW_RESTORE);
      SetForegroundWindow(finestra);
    }
    if (primo_piano) *primo_piano = false;
    if (!GetExitCodeProcess(processo, &codice)) codice = 0;
    QCoreApplication::processEvents();
    Sleep(100);
  } while (codice == STILL_ACTIVE);
  CloseHandle(processo);
  segnala();
  return static_cast<int>(codice);
}

}  // namespace flussom
