#include "support/esegui.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// Every `controlla` run also writes its JSON result, checked against the schema and against
// the report by tests/verifica_risultato.py (with Debian's python3-jsonschema).
std::vector<std::string> con_json(std::vector<std::string> argomenti, const std::filesystem::path& json) {
  if (argomenti.empty() || argomenti[0] != "controlla") return argomenti;
  if (std::find(argomenti.begin(), argomenti.end(), "--json") != argomenti.end()) return argomenti;
  argomenti.insert(argomenti.begin() + 1, {"--json", json.string()});
  return argomenti;
}

void verifica_json(const std::vector<std::string>& argomenti, const std::filesystem::path& json, int stato) {
  if (!std::filesystem::exists(json)) return;
  std::string cmd = "/usr/bin/python3 " + tra_apici(FLUSSOM_SORGENTI "/tests/verifica_risultato.py") + " " +
                    tra_apici(FLUSSOM_SORGENTI "/docs/risultato.schema.json") + " " + tra_apici(json.string()) +
                    " " + std::to_string(stato);
  const auto cartella = std::find(argomenti.begin(), argomenti.end(), "--cartella");
  if (cartella != argomenti.end() && cartella + 1 != argomenti.end()) {
    const std::filesystem::path report = std::filesystem::path(*(cartella + 1)) / "errori.RPT";
    if (std::filesystem::is_regular_file(report)) cmd += " " + tra_apici(report.string());
  }
  EXPECT_EQ(std::system(cmd.c_str()), 0) << "risultato JSON non valido: " << json;
}

}  // namespace

Uscita esegui_flussom(const std::vector<std::string>& argomenti_dati, const std::string& ingresso) {
  CartellaTemporanea dir;
  const auto json = dir / "risultato.json";
  const std::vector<std::string> argomenti = con_json(argomenti_dati, json);
  Uscita u = esegui(FLUSSOM_BIN, argomenti, ingresso);
  verifica_json(argomenti, json, u.stato);
  return u;
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
