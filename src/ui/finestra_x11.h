// The top-level window of another process on the X11 display, found through the
// _NET_WM_PID property that toolkits set on their windows: its title, the request to
// close it, and how it is first shown.
#pragma once

#include <sys/types.h>

#include <QString>
#include <memory>

namespace flussom {

class FinestraX11 {
 public:
  // Opens its own connection to $DISPLAY; without a display every call does nothing.
  FinestraX11(pid_t pid, int stile);
  ~FinestraX11();
  FinestraX11(const FinestraX11&) = delete;
  FinestraX11& operator=(const FinestraX11&) = delete;

  // Looks for the process's first top-level window that is not owned by another window
  // (a dialog); on the first success the window style is applied. True once found.
  bool cerca();
  // The window's title, at most 256 characters; empty without a window.
  QString titolo() const;
  // Asks the window to close, as its close button would.
  void chiudi() const;
  // Brings the window to the front, restored when it was minimised.
  void in_primo_piano() const;

 private:
  struct Connessione;
  std::unique_ptr<Connessione> c_;
  pid_t pid_;
  int stile_;
  unsigned finestra_ = 0;
};

}  // namespace flussom
