// A check run on a thread of its own, so that the window keeps repainting, moving and
// answering while the run reads a file of millions of lines. The run's events reach the
// window's listener on the window's thread and in their order: the status lines and the
// progress gathered a few times a second, each question and message alone, the run waiting
// for its answer. The run gets everything it needs when it starts and reads nothing back
// from the window but those answers.
#pragma once

#include <atomic>
#include <memory>
#include <thread>

#include "base/orologio.h"
#include "run/eventi_run.h"

class QObject;

namespace flussom {

class RunInSottofondo {
 public:
  // `finestra`: the object on whose thread `ascoltatore` is told; it outlives this object.
  RunInSottofondo(QObject& finestra, EventiRun& ascoltatore);
  ~RunInSottofondo() { chiudi(); }
  RunInSottofondo(const RunInSottofondo&) = delete;
  RunInSottofondo& operator=(const RunInSottofondo&) = delete;

  bool in_corso() const { return thread_.joinable(); }

  // Starts the run of `parametri` (its interrompi is this object's). The report's lines go
  // to `report` on the run's thread, which owns it until the listener hears run_finito.
  void avvia(ParametriRun parametri, const Orologio& orologio, OsservatoreReport& report);

  // The run stops within a few thousand lines, or after the question on show, without a
  // verdict (EsitoRun::interrotto).
  void interrompi() { interrompi_ = true; }

  // Interrupts the run, answers a question it is waiting on as No (a registration as
  // abandoned), and waits for its end; what it tells from then on is not heard.
  void chiudi();

  // The state that a question shares between the two threads.
  struct Domanda;

 private:
  QObject& finestra_;
  EventiRun& ascoltatore_;
  std::atomic<bool> interrompi_{false};
  std::shared_ptr<Domanda> domanda_;
  std::thread thread_;
};

}  // namespace flussom
