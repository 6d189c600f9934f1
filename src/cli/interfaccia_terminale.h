// The terminal follows a run: the status text is kept and printed at the end,
// message boxes go to standard error, questions are asked when standard input is a
// terminal (otherwise answered No).
#pragma once

#include <cstdio>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

#include "run/eventi_run.h"

namespace flussom {

// A UTF-8 text made safe for a terminal: control characters (C0, DEL, C1) and bytes that are
// not UTF-8 are shown as escapes (\n, \x1b, \u009b), so a file name cannot move the cursor
// or send commands to the terminal.
std::string testo_visibile(std::string_view utf8);

class InterfacciaTerminale : public EventiRun {
 public:
  // `interattivo`: questions and the registration are asked on `in`/`err`.
  InterfacciaTerminale(std::filesystem::path cartella, std::istream& in, std::ostream& err,
                       bool interattivo);

  void struttura_trovata(std::string_view nome) override { struttura_ = nome; }
  bool domanda(std::string_view testo) override;
  EsitoRegistrazione registrazione_richiesta(std::string_view codstru) override;
  void intervallo_progresso(std::int64_t minimo, std::int64_t massimo) override;
  void progresso(std::int64_t valore) override;
  void riga_stato(std::string_view riga) override;
  void messaggio(std::string_view testo) override;
  void avviso(std::string_view testo) override;
  void riga_report(const RigaReport& r) override {
    for (OsservatoreReport* o : osservatori_) o->riga_report(r);
  }

  // The report's lines are also handed to `o`, after those added before.
  void osserva_report(OsservatoreReport& o) { osservatori_.push_back(&o); }

  void imposta_stato(std::string testo) { stato_ = std::move(testo); }
  const std::string& struttura() const { return struttura_; }

  // The status text, one status line per output line, in UTF-8.
  void stampa_stato(std::ostream& out) const;

  // A progress indicator on `err` (a terminal) for files larger than a few megabytes.
  void mostra_avanzamento(bool attivo) { avanzamento_ = attivo; }
  void mostra_avvisi(bool attivo) { avvisi_ = attivo; }

 private:
  bool chiedi(const std::string& domanda, std::string& risposta);

  std::filesystem::path cartella_;
  std::istream& in_;
  std::ostream& err_;
  bool interattivo_;
  std::string stato_;
  std::string struttura_;
  bool avanzamento_ = false;
  bool avvisi_ = true;
  std::vector<OsservatoreReport*> osservatori_;
  std::int64_t massimo_ = 0;
  int ultimo_percento_ = -1;
};

}  // namespace flussom
