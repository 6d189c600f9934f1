// Jobs done a few at a time, each by whichever thread is free.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>

namespace flussom {

// Does lavoro(0) ... lavoro(n - 1), `processi` at a time (the calling thread among them),
// and returns how many were started. None starts once *interrompi is set (none given:
// every one is done). A job that throws does not stop the others. concluso(i, motivo)
// follows every job started, one call at a time: `motivo` is empty when the job ended
// normally, else why it did not (Italian).
std::size_t lavori_paralleli(std::size_t n, unsigned processi, const std::atomic<bool>* interrompi,
                             const std::function<void(std::size_t)>& lavoro,
                             const std::function<void(std::size_t, const std::string& motivo)>& concluso);

}  // namespace flussom
