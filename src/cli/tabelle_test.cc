#include "cli/tabelle.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/cartella_temporanea.h"

namespace flussom {
namespace {

namespace fs = std::filesystem;

TEST(TabelleCli, BuildsShowsAndRefusesAWrongSourceWhole) {
  prova::CartellaTemporanea c;
  fs::create_directory(c / "src");
  const auto costruisci = [&](std::ostringstream& out, std::ostringstream& err) {
    return tabelle_costruisci(c / "src", c / "dest", out, err);
  };
  prova::scrivi_file(c / "src" / "prestazioni.csv",
                     "codice,descrizione,tariffa\n89.7,PRIMA VISITA,20.66\n89.01,VISITA,12.91\n");
  prova::scrivi_file(c / "src" / "comuni.csv", "codice,descrizione\n001001,Agli\xC3\xA8\n");
  std::ostringstream out, err;
  ASSERT_EQ(costruisci(out, err), 0) << err.str();
  EXPECT_EQ(err.str(), "");
  for (const char* riga : {"TERAPIE.DAT: 2 record\n", "COMUXX.DAT: 1 record\n",
                           "Manca diagnosi.csv: ICD9.DAT non costruita.\n"})
    EXPECT_NE(out.str().find(riga), std::string::npos) << out.str();
  // Shown back in UTF-8, as the terminal wants it.
  std::ostringstream csv;
  EXPECT_EQ(tabelle_mostra(c / "dest" / "COMUXX.DAT", csv, err), 0);
  EXPECT_EQ(csv.str(), "codice,descrizione\n001001,Agli\xC3\xA8\n");

  // A wrong source: no table written, not even those of the good sources.
  const std::string terapie = prova::leggi_file(c / "dest" / "TERAPIE.DAT");
  prova::scrivi_file(c / "src" / "diagnosi.csv", "codice,descrizione\n4019,Ipertensione\n");
  prova::scrivi_file(c / "src" / "prestazioni.csv",
                     "codice,descrizione,tariffa\n89.7,PRIMA VISITA,20.66\n89.7,\xC3\xA8,1\n");
  std::ostringstream out2, err2;
  EXPECT_EQ(costruisci(out2, err2), 2);
  EXPECT_EQ(out2.str(), "");
  EXPECT_EQ(err2.str(),
            "Errore in prestazioni.csv, riga 3: codice \"89.7\" ripetuto (gi\xC3\xA0 alla riga "
            "2)\nNessuna tabella scritta.\n");
  EXPECT_EQ(prova::leggi_file(c / "dest" / "TERAPIE.DAT"), terapie);
  EXPECT_FALSE(fs::exists(c / "dest" / "ICD9.DAT"));
}

TEST(TabelleCli, NothingToBuildOrToShow) {
  prova::CartellaTemporanea c;
  std::ostringstream out, err;
  EXPECT_EQ(tabelle_costruisci(c.percorso(), c / "dest", out, err), 2);
  EXPECT_EQ(tabelle_costruisci(c / "manca", c / "dest", out, err), 2);
  EXPECT_EQ(tabelle_mostra(c / "strutture.DAT", out, err), 2);
  EXPECT_EQ(out.str(), "");
  for (const char* motivo : {"Nessuna sorgente in", "non \xC3\xA8 una cartella",
                             "Errore: tabella sconosciuta: strutture.DAT"})
    EXPECT_NE(err.str().find(motivo), std::string::npos) << err.str();
}

}  // namespace
}  // namespace flussom
