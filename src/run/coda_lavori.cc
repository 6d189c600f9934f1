#include "run/coda_lavori.h"

#include <utility>

namespace flussom {

CodaLavori::CodaLavori(unsigned quanti) {
  for (unsigned i = 0; i < quanti; ++i) thread_.emplace_back([this, i] { ciclo(i); });
}

CodaLavori::~CodaLavori() {
  {
    std::unique_lock lock(mutex_);
    cambiato_.wait(lock, [this] { return da_fare_.empty() && in_corso_ == 0; });
    fine_ = true;
  }
  cambiato_.notify_all();
  for (std::thread& t : thread_) t.join();
}

void CodaLavori::aggiungi(Compito compito) {
  {
    std::lock_guard lock(mutex_);
    da_fare_.push_back(std::move(compito));
    finiti_.push_back(false);
    eccezioni_.emplace_back();
  }
  cambiato_.notify_all();
}

void CodaLavori::attendi(std::size_t n) {
  std::unique_lock lock(mutex_);
  cambiato_.wait(lock, [&] { return n < finiti_.size() && finiti_[n]; });
  if (eccezioni_[n]) std::rethrow_exception(std::exchange(eccezioni_[n], nullptr));
}

void CodaLavori::ciclo(unsigned thread) {
  std::unique_lock lock(mutex_);
  for (;;) {
    cambiato_.wait(lock, [this] { return !da_fare_.empty() || fine_; });
    if (da_fare_.empty()) return;
    Compito compito = std::move(da_fare_.front());
    da_fare_.pop_front();
    const std::size_t n = finiti_.size() - da_fare_.size() - 1;
    ++in_corso_;
    lock.unlock();
    std::exception_ptr eccezione;
    try {
      compito(thread);
    } catch (...) {
      eccezione = std::current_exception();
    }
    lock.lock();
    --in_corso_;
    finiti_[n] = true;
    eccezioni_[n] = eccezione;
    cambiato_.notify_all();
  }
}

}  // namespace flussom
