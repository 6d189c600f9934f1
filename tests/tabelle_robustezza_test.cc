// The real `flussom` binary on tables that are not what they should be, and on the
// registration of facilities: nothing written outside the folder or through a link, no
// table read that is not a regular file, no record of strutture.DAT lost.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>

#include "support/cartella_temporanea.h"
#include "support/esegui.h"
#include "support/riga_prova.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace flussom {
namespace {

namespace fs = std::filesystem;
using prova::CartellaTemporanea;
using prova::esegui_flussom;

// Runs the binary with a time limit: a table that is waited for or read without end
// would otherwise hang the test.
prova::Uscita esegui_entro(const std::vector<std::string>& argomenti, int secondi = 60) {
  CartellaTemporanea dir;
  std::string cmd = "timeout -s KILL " + std::to_string(secondi) + " '" FLUSSOM_BIN "'";
  for (const std::string& a : argomenti) cmd += " '" + a + "'";
  cmd += " </dev/null >'" + (dir / "out").string() + "' 2>'" + (dir / "err").string() + "'";
  const int r = std::system(cmd.c_str());
  prova::Uscita u;
  u.stato = WIFEXITED(r) ? WEXITSTATUS(r) : -1;
  u.out = dir.leggi("out");
  u.err = dir.leggi("err");
  return u;
}

class TabelleRobustezza : public ::testing::Test {
 protected:
  TabelleRobustezza() {
    prova::costruisci_in(app.percorso(), prova::tabelle_base());
    app.scrivi("strutture.DAT", prova::strutture_base());
    file = dati.scrivi("FLM102026.txt", prova::ricetta_corretta("190000000000001", 2));
  }
  prova::Uscita controlla() {
    return esegui_entro({"controlla", "--cartella", app.percorso().string(), file.string()});
  }
  CartellaTemporanea app, dati, fuori;
  fs::path file;
};

// Ways a table's name can hold something that is not a regular file.
struct NonFile {
  const char* nome;
  std::function<void(const fs::path& tabella, const fs::path& fuori)> crea;
};
const NonFile non_file[] = {
    {"a folder", [](const fs::path& t, const fs::path&) { fs::create_directories(t / "dentro"); }},
    {"a FIFO", [](const fs::path& t, const fs::path&) { ASSERT_EQ(mkfifo(t.c_str(), 0600), 0); }},
    {"a link to /dev/zero", [](const fs::path& t, const fs::path&) { fs::create_symlink("/dev/zero", t); }},
    {"a device", [](const fs::path& t, const fs::path&) { fs::create_symlink("/dev/null", t); }},
    {"a link to nowhere", [](const fs::path& t, const fs::path& f) { fs::create_symlink(f / "bersaglio", t); }},
};

TEST_F(TabelleRobustezza, ATableThatIsNotAFileIsNamedAndTreatedAsMissing) {
  // What the run says for each table when it is missing: the facility table ends the run;
  // the others leave codes unknown (or, for the parallel tables and NOESE.DAT, pass).
  const std::map<std::string, int> stato_se_mancante{
      {"strutture.DAT", 1}, {"TERAPIE.DAT", 1}, {"TERA001.DAT", 0}, {"SCONTI.DAT", 0},
      {"NOESE.DAT", 0},     {"ICD9.DAT", 0},    {"COMUXX.DAT", 1},  {"CODESE.DAT", 0}};
  for (const auto& [tabella, stato] : stato_se_mancante) {
    const std::string byte = app.leggi(tabella);
    for (const NonFile& n : non_file) {
      SCOPED_TRACE(tabella + " as " + n.nome);
      fs::remove(app / tabella);
      n.crea(app / tabella, fuori.percorso());
      const auto u = controlla();
      EXPECT_EQ(u.stato, stato) << u.err;
      EXPECT_NE(u.err.find("Attenzione: tabella inutilizzabile " + (app / tabella).string()),
                std::string::npos) << u.err;
      // Nothing created through the link, nothing put in the folder's place.
      EXPECT_FALSE(fs::exists(fuori / "bersaglio"));
      EXPECT_FALSE(fs::is_regular_file(fs::symlink_status(app / tabella)));
      fs::remove_all(app / tabella);
    }
    app.scrivi(tabella, byte);
  }
}

TEST_F(TabelleRobustezza, BuilderSourceOrShownTableThatIsNotAFile) {
  for (const NonFile& n : non_file) {
    SCOPED_TRACE(n.nome);
    CartellaTemporanea sorgenti, dest;
    n.crea(sorgenti / "diagnosi.csv", fuori.percorso());
    const auto u = esegui_entro({"tabelle", "costruisci", sorgenti.percorso().string(), dest.percorso().string()});
    EXPECT_EQ(u.stato, 2);
    EXPECT_EQ(u.err.rfind("Errore in diagnosi.csv: file illeggibile: ", 0), 0u) << u.err;
    EXPECT_TRUE(fs::is_empty(dest.percorso()));
    // Shown back as CSV: refused, not waited for nor read without end.
    n.crea(dest / "ICD9.DAT", fuori.percorso());
    const auto m = esegui_entro({"tabelle", "mostra", (dest / "ICD9.DAT").string()});
    EXPECT_EQ(m.stato, 2);
    EXPECT_EQ(m.err.rfind("Errore: impossibile leggere ", 0), 0u) << m.err;
  }
}

// Registration through the command line.
prova::Uscita registra(const fs::path& cartella) {
  return esegui_flussom({"registra", "--cartella", cartella.string(), "654321", "NUOVA", "08"});
}
const std::string nuovo_record = "\"654321\",\"NUOVA\",\"08\",\"\",\"\"\r\n";

TEST_F(TabelleRobustezza, RegistrationStartsTheRecordOnANewLine) {
  const std::string a = "\"1\",\"A\",\"02\",\"\",\"\"";
  const std::pair<std::string, std::string> casi[] = {
      {"", ""},
      {a + "\r\n", a + "\r\n"},
      {a, a + "\r\n"},        // as Notepad leaves it
      {a + "\n", a + "\n"},   // LF alone ends the record too
      {a + "\r", a + "\r"},
      {a + "  ", a + "  \r\n"},
  };
  for (const auto& [prima, dopo] : casi) {
    SCOPED_TRACE(prima);
    app.scrivi("strutture.DAT", prima);
    const auto u = registra(app.percorso());
    EXPECT_EQ(u.stato, 0) << u.err;
    EXPECT_EQ(app.leggi("strutture.DAT"), dopo + nuovo_record);
  }
  // Both facilities are then found.
  app.scrivi("strutture.DAT", "\"123456\",\"AMBULATORIO PROVA\",\"26\",\"\",\"\"");
  ASSERT_EQ(registra(app.percorso()).stato, 0);
  EXPECT_EQ(controlla().stato, 0);
  prova::RigaProva r;
  r.cod_struttura = "654321";
  prova::scrivi_file(file, r.linea() + "\r\n" + r.chiusura("0020,66", "0000,00").linea() + "\r\n");
  EXPECT_EQ(controlla().stato, 0);
}

}  // namespace
}  // namespace flussom

#endif  // _WIN32
