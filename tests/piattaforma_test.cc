// Names and arguments that the platforms treat differently give the same results on all:
// accented letters, "€" and blanks in paths, paths beginning with a slash.
#include <gtest/gtest.h>

#include "support/cartella_temporanea.h"
#include "support/esegui.h"
#include "support/riga_prova.h"

namespace flussom {
namespace {

namespace fs = std::filesystem;

std::string utf8(const fs::path& p) {
  const std::u8string u = p.u8string();
  return std::string(u.begin(), u.end());
}

fs::path da_utf8(const std::string& s) { return fs::path(std::u8string(s.begin(), s.end())); }

// Folder names holding what an ANSI command line or fopen would lose.
const std::string nomi[] = {"cartella \xC3\xA0", "euro \xE2\x82\xAC", "a  b", "\xC3\xA0 \xE2\x82\xAC"};

fs::path cartella_applicazione(const fs::path& p) {
  fs::create_directories(p);
  prova::costruisci_in(p, prova::tabelle_base());
  prova::scrivi_file(p / "strutture.DAT", prova::strutture_base());
  return p;
}

TEST(Platform, NamesWithAccentsEuroAndBlanksOnTheCommandLine) {
  prova::CartellaTemporanea dir;
  for (const std::string& nome : nomi) {
    const fs::path app = cartella_applicazione(dir.percorso() / da_utf8(nome + " app"));
    fs::create_directories(dir.percorso() / da_utf8(nome));
    const fs::path file = dir.percorso() / da_utf8(nome) / "FLM102026.txt";
    prova::scrivi_file(file, prova::ricetta_corretta("190000000000001"));
    const auto u = prova::esegui_flussom({"controlla", "--cartella", utf8(app), utf8(file)});
    EXPECT_EQ(u.stato, 0) << nome << "\n" << u.err;
    EXPECT_EQ(u.out.rfind("Apertura File : " + utf8(file) + "\nIL FILE E' CORRETTO\n", 0), 0u) << u.out;
  }
  // Without --cartella, the folder of the program, whose name holds the same.
  const fs::path app = dir.percorso() / da_utf8(nomi[3] + " app"), programma = app / fs::path(FLUSSOM_BIN).filename();
  fs::copy_file(FLUSSOM_BIN, programma);
  fs::remove(app / "errori.RPT");
  const auto u = prova::esegui(programma, {"controlla", utf8(dir.percorso() / da_utf8(nomi[3]) / "FLM102026.txt")});
  EXPECT_EQ(u.stato, 0) << u.err;
  EXPECT_TRUE(fs::exists(app / "errori.RPT"));
}

TEST(Platform, AnArgumentStartingWithASlashIsAPathNotAnOption) {
  prova::CartellaTemporanea dir;
  cartella_applicazione(dir.percorso());
  const auto u = prova::esegui_flussom({"controlla", "--cartella", utf8(dir.percorso()), "/x/FLM112026.txt"});
  EXPECT_EQ(u.stato, 2);
  EXPECT_EQ(u.err.rfind("Impossibile leggere il file /x/FLM112026.txt : ", 0), 0u) << u.err;
  const auto r = prova::esegui_flussom({"registra", "--cartella", utf8(dir.percorso()), "/1", "NOME", "02"});
  EXPECT_EQ(r.stato, 2);
  EXPECT_EQ(r.err.find("argomenti"), std::string::npos) << r.err;
}

#ifdef _WIN32
TEST(Platform, TheConsoleShowsEuroAndAccents) {
  prova::CartellaTemporanea dir;
  const fs::path app = cartella_applicazione(dir.percorso() / da_utf8(nomi[3]));
  prova::scrivi_file(app / "FLM102026.txt", prova::ricetta_corretta("190000000000001"));
  std::string bin = FLUSSOM_BIN;
  if (bin.starts_with('/')) bin = "Z:" + bin;  // a host path, as Wine shows it
  const std::string schermo =
      prova::schermo_console(da_utf8(bin), {"controlla", "--cartella", utf8(app), utf8(app / "FLM102026.txt")});
  if (schermo.empty()) GTEST_SKIP() << "no console here";
  EXPECT_NE(schermo.find("Apertura File : " + utf8(app / "FLM102026.txt") + "\n"), std::string::npos)
      << schermo;
  EXPECT_NE(schermo.find("Totale         \u20AC  20,66\n"), std::string::npos) << schermo;
}
#endif

}  // namespace
}  // namespace flussom
