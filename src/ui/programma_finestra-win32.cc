// A tiny Windows program, without Qt, for the tests of the run-and-wait routine:
//   ui_finestra_prova TITOLO CODICE [SCADENZA_MS [NASCOSTA]]
// shows a top-level window titled TITOLO; closing it ends the program with CODICE; after
// SCADENZA_MS (default 10000) it ends by itself with 99. With a fourth argument it first
// creates a hidden top-level window, as the input method does, and shows its own window
// only half a second later.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdlib>

namespace {

int codice = 0;

LRESULT CALLBACK procedura(HWND w, UINT messaggio, WPARAM wp, LPARAM lp) {
  switch (messaggio) {
    case WM_CLOSE:
      DestroyWindow(w);
      return 0;
    case WM_TIMER:
      codice = 99;
      DestroyWindow(w);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(codice);
      return 0;
    default:
      return DefWindowProcW(w, messaggio, wp, lp);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  codice = _wtoi(argv[2]);
  const UINT scadenza = argc > 3 ? static_cast<UINT>(_wtoi(argv[3])) : 10000;
  WNDCLASSW classe{};
  classe.lpfnWndProc = procedura;
  classe.hInstance = GetModuleHandleW(nullptr);
  classe.lpszClassName = L"FlussomProva";
  RegisterClassW(&classe);
  HWND w = CreateWindowExW(0, classe.lpszClassName, argv[1], WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                           CW_USEDEFAULT, 240, 80, nullptr, nullptr, classe.hInstance, nullptr);
  if (w == nullptr) return 3;
  if (argc > 4) {
    HWND nascosta = CreateWindowExW(0, classe.lpszClassName, L"Default IME", WS_POPUP, 0, 0, 1,
                                    1, nullptr, nullptr, classe.hInstance, nullptr);
    SetWindowPos(nascosta, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Sleep(500);
  }
  ShowWindow(w, SW_SHOWNORMAL);
  SetTimer(w, 1, scadenza, nullptr);
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  return static_cast<int>(m.wParam);
}
