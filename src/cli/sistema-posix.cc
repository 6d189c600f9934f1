#include "cli/sistema.h"

#include <signal.h>
#include <unistd.h>

namespace flussom {

bool e_terminale(std::FILE* f) { return isatty(fileno(f)) == 1; }

std::filesystem::path cartella_eseguibile() {
  std::error_code ec;
  auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : p.parent_path();
}

std::vector<std::string> argomenti_utf8(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

void prepara_flussi_standard() {}

namespace {

Interruzione interruzione;

// Only stores to lock-free atomics: nothing else is safe in a signal handler. The first
// signal's status stands.
void al_segnale(int segnale) {
  int nessuno = 0;
  interruzione.stato.compare_exchange_strong(nessuno, 128 + segnale);
  interruzione.chiesta.store(true);
}

}  // namespace

const Interruzione& intercetta_interruzione() {
  struct sigaction sa = {};
  sa.sa_handler = al_segnale;
  sigemptyset(&sa.sa_mask);
  // Reads under way go on (a pipe's included); the handler serves once, so a second
  // signal ends the program.
  sa.sa_flags = SA_RESTART | SA_RESETHAND;
  for (const int segnale : {SIGINT, SIGTERM}) {
    // A signal that whoever started the program ignores (a background job) stays ignored.
    struct sigaction prima = {};
    if (sigaction(segnale, nullptr, &prima) == 0 && prima.sa_handler == SIG_IGN) continue;
    sigaction(segnale, &sa, nullptr);
  }
  return interruzione;
}

}  // namespace flussom
