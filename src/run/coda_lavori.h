// Tasks run in the order they are added, each on whichever of a few threads is free, and
// waited for one by one: a small pool for the pieces of a file checked at once.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace flussom {

class CodaLavori {
 public:
  // A task is told which of the threads (0 to quanti - 1) runs it: what one thread uses,
  // no other touches at the same time.
  using Compito = std::function<void(unsigned thread)>;

  explicit CodaLavori(unsigned quanti);
  // Waits for every task added, then ends the threads.
  ~CodaLavori();
  CodaLavori(const CodaLavori&) = delete;
  CodaLavori& operator=(const CodaLavori&) = delete;

  // Adds a task; the tasks are numbered from 0 in the order they are added.
  void aggiungi(Compito compito);
  // Waits until task `n` has ended; an exception it threw is thrown here.
  void attendi(std::size_t n);

 private:
  void ciclo(unsigned thread);

  std::mutex mutex_;
  std::condition_variable cambiato_;
  std::deque<Compito> da_fare_;
  std::vector<bool> finiti_;  // per task number
  std::vector<std::exception_ptr> eccezioni_;
  std::size_t in_corso_ = 0;  // tasks taken and not ended
  bool fine_ = false;
  std::vector<std::thread> thread_;  // last: they start once the members above exist
};

}  // namespace flussom
