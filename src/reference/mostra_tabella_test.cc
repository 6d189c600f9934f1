#include "reference/mostra_tabella.h"

#include <gtest/gtest.h>

#include "support/cartella_temporanea.h"
#include "support/tabelle_prova.h"

namespace flussom {
namespace {

namespace fs = std::filesystem;

std::string mostra(const fs::path& file) {
  std::string csv, errore;
  EXPECT_TRUE(tabella_in_csv(file, csv, errore)) << errore;
  return csv;
}

TEST(MostraTabella, EveryTable) {
  prova::CartellaTemporanea cartella;
  prova::SorgentiProva s;
  s.prestazioni = prova::intestazione_prestazioni +
                  "89.7,PRIMA VISITA,20.66,08 26,1.50\n90.44.3,\"URINE, ESAME \"\"COMPLETO\"\"\",2.07,,\n";
  s.comuni = prova::intestazione_codici + "001001,Agli\xC3\xA8\n";
  s.noese = prova::intestazione_noese + "89.7,013 0A31\n";
  ASSERT_TRUE(prova::costruisci_in(cartella.percorso(), s));
  const std::string intestazione = "codice,descrizione,tariffa,branche,sconto\n";
  const std::string esame = "90.44.3,\"URINE, ESAME \"\"COMPLETO\"\"\",00002.07,,\n";
  EXPECT_EQ(mostra(cartella / "TERAPIE.DAT"), intestazione + "89.7,PRIMA VISITA,00020.66,08 26,1.50\n" + esame);
  EXPECT_EQ(mostra(cartella / "TERA001.DAT"), "numero,branche\n1,08 26\n2,\n");
  EXPECT_EQ(mostra(cartella / "SCONTI.DAT"), "numero,codice,sconto\n1,89.7,1.50\n2,90.44.3,\n");
  EXPECT_EQ(mostra(cartella / "COMUXX.DAT"), "codice,descrizione\n001001,Agli\xE8\n");
  EXPECT_EQ(mostra(cartella / "NOESE.DAT"), "prestazione,campo2,campo3,campo4,campo5\n89.7,*013*0A31,,,\n");
  // A partial last record is no record.
  cartella.scrivi("ICD9.DAT", "4019  Ipertensione" + std::string(45, ' ') + "25000");
  EXPECT_EQ(mostra(cartella / "ICD9.DAT"), "codice,descrizione\n4019,Ipertensione\n");
  // The name is recognised whatever its case; without the parallel tables two columns stay empty.
  fs::rename(cartella / "TERAPIE.DAT", cartella / "terapie.dat");
  fs::rename(cartella / "TERA001.DAT", cartella / "Tera001.dat");
  fs::remove(cartella / "SCONTI.DAT");
  EXPECT_EQ(mostra(cartella / "terapie.dat"), intestazione + "89.7,PRIMA VISITA,00020.66,08 26,\n" + esame);
  fs::remove(cartella / "Tera001.dat");
  EXPECT_EQ(mostra(cartella / "terapie.dat"), intestazione + "89.7,PRIMA VISITA,00020.66,,\n" + esame);

  std::string csv, errore;  // a missing table
  EXPECT_FALSE(tabella_in_csv(cartella / "CODESE.DAT", csv, errore));
  EXPECT_NE(errore.find("impossibile leggere"), std::string::npos);
}

}  // namespace
}  // namespace flussom
