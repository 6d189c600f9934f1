// One more thread, which runs one task at a time for the thread that hands it over.
#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace flussom {

class SecondoThread {
 public:
  SecondoThread();
  // Waits for the task in hand, then ends the thread.
  ~SecondoThread();
  SecondoThread(const SecondoThread&) = delete;
  SecondoThread& operator=(const SecondoThread&) = delete;

  // Starts `compito` on the other thread, once the task before it has been waited for.
  void affida(std::function<void()> compito);
  // Waits for the task handed over last (at once when there is none); an exception it threw
  // is thrown here.
  void attendi();

 private:
  void ciclo();

  std::mutex mutex_;
  std::condition_variable cambiato_;
  std::function<void()> compito_;
  bool occupato_ = false;  // a task has been handed over and has not ended
  bool fine_ = false;
  std::exception_ptr eccezione_;
  std::thread thread_;  // last: it starts once the members above exist
};

}  // namespace flussom
