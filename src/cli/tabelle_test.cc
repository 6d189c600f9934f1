#include "cli/tabelle.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/cartella_temporanea.h"

namespace flussom {
namespace {

namespace fs = std::filesystem;

struct Esito {
  int stato;
  std::string out, err;
};

Esito costruisci(const fs::path& sorgenti, const fs::path& dest) {
  std::ostringstream out, err;
  const int stato = tabelle_costruisci(sorgenti, dest, out, err);
  return {stato, out.str(), err.str()};
}

Esito mostra(const fs::path& file) {
  std::ostringstream out, err;
  const int stato = tabelle_mostra(file, out, err);
  return {stato, out.str(), err.str()};
}

TEST(TabelleCli, BuildsAndShows) {
  prova::CartellaTemporanea c;
  fs::create_directory(c / "src");
  prova::scrivi_file(c / "src" / "prestazioni.csv",
                     "codice,descrizione,tariffa\n89.7,PRIMA VISITA,20.66\n89.01,VISITA,12.91\n");
  prova::scrivi_file(c / "src" / "comuni.csv", "codice,descrizione\n001001,Agli\xC3\xA8\n");
  const Esito e = costruisci(c / "src", c / "dest");
  ASSERT_EQ(e.stato, 0) << e.err;
  EXPECT_EQ(e.err, "");
  EXPECT_NE(e.out.find("TERAPIE.DAT: 2 record\n"), std::string::npos) << e.out;
  EXPECT_NE(e.out.find("COMUXX.DAT: 1 record\n"), std::string::npos);
  EXPECT_NE(e.out.find("Manca diagnosi.csv: ICD9.DAT non costruita.\n"), std::string::npos);
  EXPECT_TRUE(fs::exists(c / "dest" / "SCONTI.DAT"));
  EXPECT_FALSE(fs::exists(c / "dest" / "ICD9.DAT"));
  // Shown back in UTF-8, as the terminal wants it.
  const Esito m = mostra(c / "dest" / "COMUXX.DAT");
  EXPECT_EQ(m.stato, 0);
  EXPECT_EQ(m.out, "codice,descrizione\n001001,Agli\xC3\xA8\n");
}

TEST(TabelleCli, AWrongSourceWritesNothing) {
  prova::CartellaTemporanea c;
  fs::create_directory(c / "src");
  fs::create_directory(c / "dest");
  prova::scrivi_file(c / "dest" / "TERAPIE.DAT", "vecchia");
  prova::scrivi_file(c / "src" / "diagnosi.csv", "codice,descrizione\n4019,Ipertensione\n");
  prova::scrivi_file(c / "src" / "prestazioni.csv",
                     "codice,descrizione,tariffa\n89.7,PRIMA VISITA,20.66\n89.7,\xC3\xA8,1\n");
  const Esito e = costruisci(c / "src", c / "dest");
  EXPECT_EQ(e.stato, 2);
  EXPECT_EQ(e.out, "");
  EXPECT_EQ(e.err,
            "Errore in prestazioni.csv, riga 3: codice \"89.7\" ripetuto (gi\xC3\xA0 alla riga "
            "2)\nNessuna tabella scritta.\n");
  EXPECT_EQ(prova::leggi_file(c / "dest" / "TERAPIE.DAT"), "vecchia");
  EXPECT_FALSE(fs::exists(c / "dest" / "ICD9.DAT"));
}

TEST(TabelleCli, NothingToBuildOrToShow) {
  prova::CartellaTemporanea c;
  Esito e = costruisci(c.percorso(), c / "dest");
  EXPECT_EQ(e.stato, 2);
  EXPECT_NE(e.err.find("Nessuna sorgente in"), std::string::npos);
  e = costruisci(c / "manca", c / "dest");
  EXPECT_EQ(e.stato, 2);
  EXPECT_NE(e.err.find("non \xC3\xA8 una cartella"), std::string::npos);
  e = mostra(c / "strutture.DAT");
  EXPECT_EQ(e.stato, 2);
  EXPECT_NE(e.err.find("Errore: tabella sconosciuta: strutture.DAT"), std::string::npos);
}

}  // namespace
}  // namespace flussom
