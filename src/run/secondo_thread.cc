#include "run/secondo_thread.h"

#include <utility>

namespace flussom {

SecondoThread::SecondoThread() : thread_([this] { ciclo(); }) {}

SecondoThread::~SecondoThread() {
  {
    std::unique_lock lock(mutex_);
    cambiato_.wait(lock, [this] { return !occupato_; });
    fine_ = true;
  }
  cambiato_.notify_all();
  thread_.join();
}

void SecondoThread::affida(std::function<void()> compito) {
  attendi();
  {
    std::lock_guard lock(mutex_);
    compito_ = std::move(compito);
    occupato_ = true;
  }
  cambiato_.notify_all();
}

void SecondoThread::attendi() {
  std::unique_lock lock(mutex_);
  cambiato_.wait(lock, [this] { return !occupato_; });
  if (eccezione_) std::rethrow_exception(std::exchange(eccezione_, nullptr));
}

void SecondoThread::ciclo() {
  std::unique_lock lock(mutex_);
  for (;;) {
    cambiato_.wait(lock, [this] { return occupato_ || fine_; });
    if (fine_) return;
    std::function<void()> compito = std::move(compito_);
    lock.unlock();
    std::exception_ptr eccezione;
    try {
      compito();
    } catch (...) {
      eccezione = std::current_exception();
    }
    lock.lock();
    eccezione_ = eccezione;
    occupato_ = false;
    cambiato_.notify_all();
  }
}

}  // namespace flussom
