#include "support/esegui.h"

#include <cstdlib>

#include "support/cartella_temporanea.h"

#include <sys/wait.h>

namespace flussom::prova {

namespace {

std::string tra_apici(const std::string& s) {
  std::string r = "'";
  for (char c : s) {
    if (c == '\'')
      r += "'\\''";
    else
      r += c;
  }
  return r + "'";
}

}  // namespace

Uscita esegui_flussom(const std::vector<std::string>& argomenti, const std::string& ingresso) {
  return esegui(FLUSSOM_BIN, argomenti, ingresso);
}

Uscita esegui(const std::filesystem::path& programma, const std::vector<std::string>& argomenti,
              const std::string& ingresso) {
  CartellaTemporanea dir;
  const auto in = dir.scrivi("stdin", ingresso);
  std::string cmd = tra_apici(programma.string());
  for (const auto& a : argomenti) cmd += " " + tra_apici(a);
  cmd += " < " + tra_apici(in.string()) + " > " + tra_apici((dir / "stdout").string()) + " 2> " +
         tra_apici((dir / "stderr").string());
  const int r = std::system(cmd.c_str());
  Uscita u;
  u.stato = WIFEXITED(r) ? WEXITSTATUS(r) : -1;
  u.out = dir.leggi("stdout");
  u.err = dir.leggi("stderr");
  return u;
}

}  // namespace flussom::prova
