#include "cli/lavori_paralleli.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "base/testo.h"

namespace flussom {

std::size_t lavori_paralleli(std::size_t n, unsigned processi, const std::atomic<bool>* interrompi,
                             const std::function<void(std::size_t)>& lavoro,
                             const std::function<void(std::size_t, const std::string&)>& concluso) {
  std::atomic<std::size_t> prossimo{0};
  std::mutex m;
  auto lavora = [&] {
    for (;;) {
      if (interrompi && interrompi->load()) return;
      const std::size_t i = prossimo++;
      if (i >= n) return;
      std::string motivo;
      try {
        lavoro(i);
      } catch (...) {
        motivo = motivo_eccezione();
      }
      const std::lock_guard<std::mutex> l(m);
      concluso(i, motivo);
    }
  };
  const std::size_t fili_voluti = std::min<std::size_t>(std::max(processi, 1u), n);
  std::vector<std::thread> fili;
  for (std::size_t k = 1; k < fili_voluti; ++k) {
    try {
      fili.emplace_back(lavora);
    } catch (const std::system_error&) {
      break;  // no more threads to be had: the ones there are do the work
    }
  }
  lavora();
  for (std::thread& t : fili) t.join();
  return std::min(prossimo.load(), n);
}

}  // namespace flussom
