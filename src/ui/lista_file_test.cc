#include "ui/lista_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/cartella_temporanea.h"
#include "ui/percorsi.h"

namespace flussom {
namespace {

TEST(ListaFile, SoloTxtEFileSenzaEstensione) {
  for (const char* n : {"a.txt", "A.TXT", "b.Txt", "senza", "finisce.", "AMB01.ASL.txt"})
    EXPECT_TRUE(corrisponde_modello_file(n)) << n;
  for (const char* n : {"a.dat", "a.txt.bak", "a.txtx", "a.tx", "errori.RPT", ".txt2"})
    EXPECT_FALSE(corrisponde_modello_file(n)) << n;
}

TEST(ListaFile, ElencaIFileDellaCartellaInOrdineSenzaCartelle) {
  prova::CartellaTemporanea c;
  for (const char* n : {"b.txt", "A.TXT", "c.dat", "d"}) c.scrivi(n, "");
  std::filesystem::create_directory(c / "sotto");  // a folder without extension is no file
  EXPECT_EQ(file_dati(da_percorso(c.percorso())), QStringList({"A.TXT", "b.txt", "d"}));
}

}  // namespace
}  // namespace flussom
