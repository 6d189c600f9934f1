#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

extern char** environ;

#include "support/cartella_temporanea.h"
#include "support/esegui.h"

namespace flussom::prova {

namespace fs = std::filesystem;

namespace {
std::string tra_apici(const std::string& s) {
  std::string r = "'";
  for (char c : s) r += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return r + "'";
}
}  // namespace

Uscita esegui_flussom(const std::vector<std::string>& argomenti_dati, const std::string& ingresso) {
  // Every `controlla` run also writes its JSON result, checked against the schema and against
  // the report by tests/verifica_risultato.py (with Debian's python3-jsonschema).
  CartellaTemporanea dir;
  const fs::path json = dir / "risultato.json";
  std::vector<std::string> argomenti = argomenti_dati;
  if (!argomenti.empty() && argomenti[0] == "controlla" &&
      std::ranges::find(argomenti, "--json") == argomenti.end())
    argomenti.insert(argomenti.begin() + 1, {"--json", json.string()});
  const Uscita u = esegui(FLUSSOM_BIN, argomenti, ingresso);
  if (!fs::exists(json)) return u;
  std::string cmd = "/usr/bin/python3";
  for (const std::string& a : {std::string(FLUSSOM_SORGENTI "/tests/verifica_risultato.py"),
                               std::string(FLUSSOM_SORGENTI "/docs/risultato.schema.json"),
                               json.string(), std::to_string(u.stato)})
    cmd += " " + tra_apici(a);
  const auto cartella = std::ranges::find(argomenti, "--cartella");
  if (cartella != argomenti.end() && cartella + 1 != argomenti.end() &&
      fs::is_regular_file(fs::path(cartella[1]) / "errori.RPT"))
    cmd += " " + tra_apici((fs::path(cartella[1]) / "errori.RPT").string());
  EXPECT_EQ(std::system(cmd.c_str()), 0) << "risultato JSON non valido: " << json;
  return u;
}

Uscita esegui(const fs::path& programma, const std::vector<std::string>& argomenti,
              const std::string& ingresso) {
  // Killed after ten minutes: a run that waits or reads without end fails instead of hanging.
  CartellaTemporanea dir;
  std::string cmd = "timeout -s KILL 600 " + tra_apici(programma.string());
  for (const auto& a : argomenti) cmd += " " + tra_apici(a);
  cmd += " < " + tra_apici(dir.scrivi("stdin", ingresso).string()) + " > " +
         tra_apici((dir / "stdout").string()) + " 2> " + tra_apici((dir / "stderr").string());
  const int r = std::system(cmd.c_str());
  return {WIFEXITED(r) ? WEXITSTATUS(r) : -1, dir.leggi("stdout"), dir.leggi("stderr")};
}

FlussomAvviato::FlussomAvviato(const std::vector<std::string>& argomenti) {
  posix_spawn_file_actions_t azioni;
  posix_spawn_file_actions_init(&azioni);
  posix_spawn_file_actions_addopen(&azioni, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&azioni, 1, (cartella_ / "stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&azioni, 2, (cartella_ / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<std::string> tutti = {FLUSSOM_BIN};
  tutti.insert(tutti.end(), argomenti.begin(), argomenti.end());
  std::vector<char*> argv;
  for (std::string& a : tutti) argv.push_back(a.data());
  argv.push_back(nullptr);
  // Interruptions reach it even when the tests run where they are ignored.
  posix_spawnattr_t attributi;
  posix_spawnattr_init(&attributi);
  sigset_t predefiniti;
  sigemptyset(&predefiniti);
  sigaddset(&predefiniti, SIGINT);
  sigaddset(&predefiniti, SIGTERM);
  posix_spawnattr_setsigdefault(&attributi, &predefiniti);
  posix_spawnattr_setflags(&attributi, POSIX_SPAWN_SETSIGDEF);
  pid_t pid = -1;
  const int e = posix_spawn(&pid, FLUSSOM_BIN, &azioni, &attributi, argv.data(), environ);
  posix_spawn_file_actions_destroy(&azioni);
  posix_spawnattr_destroy(&attributi);
  EXPECT_EQ(e, 0) << "avvio di " << FLUSSOM_BIN;
  pid_ = e == 0 ? pid : -1;
  finito_ = e != 0;
}

FlussomAvviato::~FlussomAvviato() {
  if (!finito()) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
}

bool FlussomAvviato::finito() {
  if (!finito_ && ::waitpid(pid_, &stato_, WNOHANG) == pid_) finito_ = true;
  return finito_;
}

Uscita FlussomAvviato::attendi() {
  const auto limite = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (!finito() && std::chrono::steady_clock::now() < limite)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  const bool in_tempo = finito();
  EXPECT_TRUE(in_tempo) << "flussom ancora in corso dopo un minuto";
  if (!in_tempo) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    finito_ = true;
    stato_ = -1;
  }
  return {in_tempo && WIFEXITED(stato_) ? WEXITSTATUS(stato_) : -1, leggi_file(cartella_ / "stdout"),
          leggi_file(cartella_ / "stderr")};
}

}  // namespace flussom::prova
