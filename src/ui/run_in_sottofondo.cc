#include "ui/run_in_sottofondo.h"

#include <QMetaObject>
#include <QObject>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/testo.h"
#include "run/importa.h"

namespace flussom {

struct RunInSottofondo::Domanda {
  std::mutex m;
  std::condition_variable cv;
  std::optional<int> risposta;
  std::atomic<bool> chiusa{false};  // the window has let the run go: nothing is heard any more
};

namespace {

using Evento = std::function<void(EventiRun&)>;
using Domanda = RunInSottofondo::Domanda;

// How often the gathered events go to the window: often enough for the bar to move smoothly,
// seldom enough for the window to keep up with a run of millions of lines.
constexpr auto intervallo_invio = std::chrono::milliseconds(40);

// On the run's thread, the listener of importa: hands the events on to the window's listener.
class Inoltro : public EventiRun {
 public:
  Inoltro(QObject& finestra, EventiRun& ascoltatore, std::shared_ptr<Domanda> domanda, OsservatoreReport& report)
      : finestra_(finestra), ascoltatore_(ascoltatore), domanda_(std::move(domanda)), report_(report) {}

  void avviso(std::string_view t) override { metti([t = std::string(t)](EventiRun& e) { e.avviso(t); }); }
  void struttura_trovata(std::string_view n) override {
    metti([n = std::string(n)](EventiRun& e) { e.struttura_trovata(n); });
  }
  void report_azzerato() override { metti([](EventiRun& e) { e.report_azzerato(); }); }
  void lettura_iniziata() override { metti([](EventiRun& e) { e.lettura_iniziata(); }); }
  void intervallo_progresso(std::int64_t minimo, std::int64_t massimo) override {
    metti([=](EventiRun& e) { e.intervallo_progresso(minimo, massimo); });
  }
  // Only the last value counts: the bar shows where the run is, not every line it passed.
  // Told for every line, it looks at the clock once every thousand or so.
  void progresso(std::int64_t valore) override {
    progresso_ = valore;
    if (valore % 1024 == 0) forse_invia();
  }
  void lettura_finita() override { metti([](EventiRun& e) { e.lettura_finita(); }); }
  void riga_stato(std::string_view r) override { metti([r = std::string(r)](EventiRun& e) { e.riga_stato(r); }); }
  void riga_report(const RigaReport& r) override { report_.riga_report(r); }

  bool domanda(std::string_view t) override {
    return attendi([t = std::string(t)](EventiRun& e) { return e.domanda(t) ? 1 : 0; }, 0) == 1;
  }
  EsitoRegistrazione registrazione_richiesta(std::string_view codice) override {
    const int abbandonata = static_cast<int>(EsitoRegistrazione::chiusa);
    return static_cast<EsitoRegistrazione>(attendi(
        [c = std::string(codice)](EventiRun& e) { return static_cast<int>(e.registrazione_richiesta(c)); },
        abbandonata));
  }
  void messaggio(std::string_view t) override {
    attendi(
        [t = std::string(t)](EventiRun& e) {
          e.messaggio(t);
          return 0;
        },
        0);
  }

  // Everything gathered goes to the window now.
  void invia() {
    prendi_progresso();
    ultimo_invio_ = std::chrono::steady_clock::now();
    if (in_attesa_.empty()) return;
    in_finestra([ev = std::move(in_attesa_)](EventiRun& e) {
      for (const Evento& f : ev) f(e);
    });
    in_attesa_.clear();
  }

  // `f` on the window's thread, after what went before, unless the window has let go.
  void in_finestra(Evento f) {
    QMetaObject::invokeMethod(
        &finestra_,
        [&a = ascoltatore_, d = domanda_, f = std::move(f)] {
          if (!d->chiusa) f(a);
        },
        Qt::QueuedConnection);
  }

 private:
  void prendi_progresso() {
    if (progresso_ < 0) return;
    in_attesa_.push_back([v = progresso_](EventiRun& e) { e.progresso(v); });
    progresso_ = -1;
  }

  void metti(Evento e) {
    prendi_progresso();
    in_attesa_.push_back(std::move(e));
    forse_invia();
  }

  void forse_invia() {
    if (std::chrono::steady_clock::now() - ultimo_invio_ >= intervallo_invio) invia();
  }

  // Asks the window and waits for its answer; `se_chiusa` when the window lets the run go.
  int attendi(std::function<int(EventiRun&)> chiedi, int se_chiusa) {
    invia();
    Domanda& d = *domanda_;
    {
      const std::lock_guard blocco(d.m);
      if (d.chiusa) return se_chiusa;
      d.risposta.reset();
    }
    in_finestra([d = domanda_, chiedi = std::move(chiedi)](EventiRun& e) {
      const int r = chiedi(e);
      const std::lock_guard blocco(d->m);
      d->risposta = r;
      d->cv.notify_all();
    });
    std::unique_lock blocco(d.m);
    d.cv.wait(blocco, [&] { return d.risposta.has_value() || d.chiusa; });
    return d.risposta.value_or(se_chiusa);
  }

  QObject& finestra_;
  EventiRun& ascoltatore_;
  std::shared_ptr<Domanda> domanda_;
  OsservatoreReport& report_;
  std::vector<Evento> in_attesa_;
  std::int64_t progresso_ = -1;  // the last value not yet gathered; -1: none
  std::chrono::steady_clock::time_point ultimo_invio_{};
};

}  // namespace

RunInSottofondo::RunInSottofondo(QObject& finestra, EventiRun& ascoltatore)
    : finestra_(finestra), ascoltatore_(ascoltatore) {}

void RunInSottofondo::avvia(ParametriRun parametri, const Orologio& orologio, OsservatoreReport& report) {
  chiudi();
  interrompi_ = false;
  domanda_ = std::make_shared<Domanda>();
  parametri.interrompi = &interrompi_;
  thread_ = std::thread([this, parametri = std::move(parametri), &orologio, &report, d = domanda_] {
    Inoltro inoltro(finestra_, ascoltatore_, d, report);
    RisultatoRun r;  // without a verdict when the run throws: the status says why
    try {
      r = importa(parametri, inoltro, orologio);
    } catch (...) {
      inoltro.messaggio(motivo_eccezione());
    }
    inoltro.invia();
    // The end is told once the run has let go of its files and of the folder's report.
    inoltro.in_finestra([this, r](EventiRun& e) {
      thread_.join();
      e.run_finito(r);
    });
  });
}

void RunInSottofondo::chiudi() {
  if (!thread_.joinable()) return;
  interrompi_ = true;
  {
    const std::lock_guard blocco(domanda_->m);
    domanda_->chiusa = true;
  }
  domanda_->cv.notify_all();
  thread_.join();
}

}  // namespace flussom
