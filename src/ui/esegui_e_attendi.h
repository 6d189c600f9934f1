// Starts a program from a command line and waits until it ends, letting the windows of
// this program handle their events every 100 ms meanwhile.
#pragma once

#include <QString>
#include <functional>

namespace flussom {

// Window styles, as the platform numbers them: how the started program shows its window.
inline constexpr int stile_nascosta = 0;
inline constexpr int stile_normale = 1;
inline constexpr int stile_ridotta = 2;
inline constexpr int stile_ingrandita = 3;        // maximised, with the focus
inline constexpr int stile_normale_senza_focus = 4;
inline constexpr int stile_mostrata = 5;
inline constexpr int stile_ridotta_senza_focus = 6;

// Added to the number of the start error when the program cannot be started (hex 80040000).
inline constexpr int base_errore_avvio = -2147221504;

// A style outside 0..6 counts as minimised without the focus.
constexpr int stile_valido(int stile) {
  return stile < stile_nascosta || stile > stile_ridotta_senza_focus ? stile_ridotta_senza_focus
                                                                     : stile;
}

// Returns the program's exit code, or base_errore_avvio plus the start error's number when it
// cannot be started. While it waits, a window of the program whose title begins with
// "FINISHED" (in any letter case) is asked to close, where the window system lets us find it.
// The command line is split like a shell's simple words: blanks separate arguments, double
// quotes group them. `avviato`, when given, is called once when the program has started: its
// window has appeared, or ten seconds have passed without one, or the program has ended.
// `primo_piano`, when given, may be set while the wait lasts (by an event handled inside it):
// on its next turn the wait brings the program's window to the front, where the window
// system lets it, and clears it.
int esegui_e_attendi(const QString& comando, int stile = stile_ridotta_senza_focus,
                     const std::function<void()>& avviato = {}, bool* primo_piano = nullptr);

// How many turns of the wait (100 ms each) `avviato` waits for the program's window.
inline constexpr int giri_attesa_finestra = 100;

}  // namespace flussom
