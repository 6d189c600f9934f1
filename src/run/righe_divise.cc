#include "run/righe_divise.h"

namespace flussom {

RigheDivise::RigheDivise(LettoreRighe& lettore)
    : lettore_(lettore), righe_(std::make_unique<RigaLetta[]>(posti)) {
  filo_ = std::thread([this] { leggi_tutte_o_ferma(); });
}

RigheDivise::~RigheDivise() {
  prese_.fetch_or(finito, std::memory_order_release);
  prese_.notify_one();
  filo_.join();
}

void RigheDivise::leggi_tutte_o_ferma() {
  try {
    leggi_tutte();
  } catch (...) {
    errore_ = std::current_exception();
  }
  scritte_.fetch_or(finito, std::memory_order_release);
  scritte_.notify_one();
}

// The thread: a line into every place the checks are done with, until the file ends or
// the checks stop.
void RigheDivise::leggi_tutte() {
  std::string_view linea;
  std::uint64_t lunghezza = 0;
  std::uint64_t limite = posti;  // places free, as far as known: lines below this
  for (std::uint64_t n = 0;; ++n) {
    while (n >= limite) {
      const std::uint64_t prese = prese_.load(std::memory_order_acquire);
      if (prese & finito) return;
      limite = prese + posti;
      if (n < limite) break;
      prese_.wait(prese, std::memory_order_acquire);
    }
    RigaLetta& r = righe_[n % posti];
    if (!lettore_.leggi(linea, lunghezza)) return;
    r.lunghezza = lunghezza;
    dividi_riga(linea, r.riga);
    r.valori = valori_riga(r.riga);
    // Woken only when waiting: the checks say so before they wait, and each side sees the
    // other's last write (both in the single total order of sequentially consistent
    // operations), so that no line is left unseen.
    scritte_.store(n + 1, std::memory_order_seq_cst);
    if (in_attesa_.load(std::memory_order_seq_cst)) scritte_.notify_one();
  }
}

bool RigheDivise::aspetta() {
  bool detto = false;  // the thread has been told that this waits
  for (;;) {
    const std::uint64_t scritte = scritte_.load(std::memory_order_seq_cst);
    if ((scritte & ~finito) > date_) {
      viste_ = scritte & ~finito;
      in_attesa_.store(false, std::memory_order_relaxed);
      return true;
    }
    if (scritte & finito) {
      if (errore_) std::rethrow_exception(errore_);
      return false;
    }
    if (!detto) {  // told, then the count looked at again before waiting
      in_attesa_.store(true, std::memory_order_seq_cst);
      detto = true;
      continue;
    }
    // The thread may be waiting for room: it hears of every line taken before this waits.
    prese_.store(date_, std::memory_order_release);
    prese_.notify_one();
    scritte_.wait(scritte, std::memory_order_acquire);
  }
}

const RigaLetta* RigheDivise::prossima() {
  // The line given before is done with.
  if (date_ % ogni == 0) {
    prese_.store(date_, std::memory_order_release);
    prese_.notify_one();
  }
  if (viste_ == date_ && !aspetta()) return nullptr;
  return &righe_[date_++ % posti];
}

const RigaLetta* RigheDivise::seguente() const { return date_ < viste_ ? &righe_[date_ % posti] : nullptr; }

}  // namespace flussom
