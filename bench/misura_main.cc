// flussom-misura: runs one command with its output discarded and prints what it cost:
// wall-clock seconds, CPU seconds (user + system), peak resident memory of the child in
// kilobytes and its exit status, on one line: "reale CPU picco_kb stato".
// POSIX only: the benchmark measures the real process, as a user runs it.
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "uso: flussom-misura COMANDO [ARGOMENTI...]\n");
    return 2;
  }
  const auto inizio = std::chrono::steady_clock::now();
  const pid_t figlio = fork();
  if (figlio < 0) {
    std::perror("fork");
    return 2;
  }
  if (figlio == 0) {
    const int nulla = open("/dev/null", O_WRONLY);
    if (nulla >= 0) {
      dup2(nulla, STDOUT_FILENO);
      dup2(nulla, STDERR_FILENO);
    }
    execvp(argv[1], argv + 1);
    _exit(127);
  }
  int stato = 0;
  rusage uso{};
  if (wait4(figlio, &stato, 0, &uso) < 0) {
    std::perror("wait4");
    return 2;
  }
  const double reale = std::chrono::duration<double>(std::chrono::steady_clock::now() - inizio).count();
  const auto secondi = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  const double cpu = secondi(uso.ru_utime) + secondi(uso.ru_stime);
  const int uscita = WIFEXITED(stato) ? WEXITSTATUS(stato) : 128 + WTERMSIG(stato);
  // ru_maxrss is in kilobytes on Linux.
  std::printf("%.3f %.3f %ld %d\n", reale, cpu, uso.ru_maxrss, uscita);
  return 0;
}
