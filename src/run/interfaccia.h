// What a check run asks of its front end (the desktop window or the terminal). Every text
// handed over is Windows-1252; the front end converts it for display.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/riga_report.h"

namespace flussom {

// How the facility registration window was left.
enum class EsitoRegistrazione {
  chiusa,          // "Registra" wrote a record, or the window was closed: look again
  fine_programma,  // "Fine Procedura": the program ends
};

class Interfaccia {
 public:
  virtual ~Interfaccia() = default;

  // The status text (Text1): read it, and append a line to it.
  virtual std::string testo_stato() const = 0;
  virtual void aggiungi_stato(std::string_view riga) = 0;

  // The facility name (Text2).
  virtual void imposta_struttura(std::string_view nome) = 0;

  // The progress bar: its range, then its value (a value beyond the maximum is ignored).
  virtual void imposta_progresso(std::int64_t minimo, std::int64_t massimo) = 0;
  virtual void avanza_progresso(std::int64_t valore) = 0;

  // The busy pointer (hourglass) and the normal pointer.
  virtual void puntatore_occupato(bool occupato) = 0;

  // Enables or disables "Visualizza e stampa errori".
  virtual void abilita_stampa(bool abilitato) = 0;

  // Gives the focus to "Fine".
  virtual void focus_fine() = 0;

  // A question box with Yes and No and an empty title; true for Yes.
  virtual bool domanda(std::string_view testo) = 0;

  // A message box with an OK button and the application's title.
  virtual void messaggio(std::string_view testo) = 0;

  // The facility registration window, modal; `codstru` fills its code box.
  virtual EsitoRegistrazione registra_struttura(std::string_view codstru) = 0;

  // A line written to the report, with where it comes from. Its texts live only for the call.
  virtual void riga_report(const RigaReport&) {}
};

}  // namespace flussom
