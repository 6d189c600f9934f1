#include "ui/esegui_e_attendi.h"

#include <spawn.h>
#include <sys/wait.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

#ifdef FLUSSOM_X11
#include "ui/finestra_x11.h"
#endif

extern char** environ;

namespace flussom {

namespace {

// The exit code of a process that has ended; a process killed by a signal gives 128 plus
// the signal's number, as shells report it.
int codice_uscita(int stato) {
  if (WIFEXITED(stato)) return WEXITSTATUS(stato);
  if (WIFSIGNALED(stato)) return 128 + WTERMSIG(stato);
  return -1;
}

}  // namespace

int esegui_e_attendi(const QString& comando, int stile, const std::function<void()>& avviato,
                     bool* primo_piano) {
  stile = stile_valido(stile);

  const QStringList parti = QProcess::splitCommand(comando);
  if (parti.isEmpty()) return base_errore_avvio + ENOENT;
  std::vector<QByteArray> argomenti;
  for (const QString& p : parti) argomenti.push_back(QFile::encodeName(p));
  std::vector<char*> argv;
  for (QByteArray& a : argomenti) argv.push_back(a.data());
  argv.push_back(nullptr);

  pid_t pid = 0;
  const int errore = posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
  if (errore != 0) return base_errore_avvio + errore;

#ifdef FLUSSOM_X11
  // The window usually appears a moment after the start: look for it on every turn until
  // it is there.
  FinestraX11 finestra(pid, stile);
#endif
  bool detto = false;
  const auto segnala = [&] {
    if (avviato && !detto) avviato();
    detto = true;
  };
  bool in_corso = true;
  int codice = 0;
  for (int giro = 0; in_corso; ++giro) {
    bool trovata = false;
#ifdef FLUSSOM_X11
    trovata = finestra.cerca();
    if (trovata && finestra.titolo().toUpper().startsWith(QLatin1String("FINISHED"))) finestra.chiudi();
    if (trovata && primo_piano && *primo_piano) finestra.in_primo_piano();
#endif
    if (primo_piano) *primo_piano = false;
    if (trovata || giro == giri_attesa_finestra) segnala();
    int stato = 0;
    const pid_t r = waitpid(pid, &stato, WNOHANG);
    if (r == pid) {
      codice = codice_uscita(stato);
      in_corso = false;
    } else if (r < 0 && errno != EINTR) {
      codice = -1;  // the child is gone without a status we could read
      in_corso = false;
    }
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  segnala();
  return codice;
}

}  // namespace flussom
