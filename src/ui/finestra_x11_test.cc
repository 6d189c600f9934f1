// The window search needs an X display: without one (or off X11) these tests are skipped.
#ifdef FLUSSOM_X11
#include "ui/finestra_x11.h"

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include "ui/esegui_e_attendi.h"

namespace flussom {
namespace {

bool display_x11() {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) return false;
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  const bool ok = !xcb_connection_has_error(c);
  xcb_disconnect(c);
  return ok;
}

// Without a window manager (plain Xvfb) a close request sent while the window is still being
// set up can be lost; the program then runs to its deadline. Each case may try three times.
constexpr int tentativi = 3;

// The wait finds the process's window, reads its title and closes it; the test program ends
// by itself with 99 at its deadline.
TEST(FinestraX11, WaitingClosesOnlyAWindowWhoseTitleStartsWithFinished) {
  if (!display_x11()) GTEST_SKIP() << "no X11 display";
  const struct { const char* titolo; int scadenza, atteso; } casi[] = {
      {"fInIsHeD - lavoro", 4000, 5},
      {"Lavoro finished", 1500, 99},
  };
  for (const auto& c : casi) {
    int codice = -1;
    for (int i = 0; i < tentativi && codice != c.atteso; ++i)
      codice = esegui_e_attendi(QStringLiteral(FLUSSOM_UI_PROGRAMMA_PROVA " -platform xcb --finestra \"%1\" "
                                               "--esci 5 --scadenza %2").arg(c.titolo).arg(c.scadenza),
                                stile_normale);
    EXPECT_EQ(codice, c.atteso) << c.titolo;
  }
}

}  // namespace
}  // namespace flussom
#endif
