#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>

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

}  // namespace flussom::prova
