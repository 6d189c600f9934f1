#include "reference/tabelle.h"

#include <gtest/gtest.h>

#include "support/cartella_temporanea.h"
#include "support/tabelle_prova.h"

namespace flussom {
namespace {

namespace fs = std::filesystem;
using prova::CartellaTemporanea;

const std::size_t lunghezza = descrittore(Tabella::icd9).lunghezza_record, larghezza = chiave(Tabella::icd9).lunghezza;

// Records of COMUXX, ICD9, CODESE.
std::string codici(const std::vector<std::string>& chiavi) {
  std::string t;
  for (const std::string& c : chiavi) t += prova::record(Tabella::icd9, {{"codice", c}, {"descrizione", "DESCRIZIONE " + c}});
  return t;
}

TEST(Bisection, KnownCases) {
  const std::vector<std::string> cinque{"001", "0030", "250", "4019", "V700"}, blanchi{"  A", "A1B   ", "B 1"},
      byte{"A", "Z", "a", "z", "\xE0", "\xFF"};
  const struct Caso { std::vector<std::string> chiavi; std::string codice; std::size_t atteso; } casi[] = {
      {cinque, "001", 1}, {cinque, "V700", 5}, {cinque, "000", 0}, {cinque, "ZZZ", 0}, {cinque, "25", 0},
      {cinque, "2500", 0}, {{"4019"}, "4019", 1}, {{"4019"}, "402", 0},
      // Record keys lose their blanks at both ends, the code is compared as given.
      {blanchi, "A", 1}, {blanchi, "A1B", 2}, {blanchi, " A1B", 0}, {blanchi, "A1B ", 0}, {blanchi, "B1", 0},
      {byte, "a", 3}, {byte, "\xE0", 5}, {byte, "\xFF", 6},  // unsigned bytes
      {{"A", "A", "B"}, "A", 2}, {{"A", "A", "A", "A", "B", "C", "D", "E"}, "A", 4},  // the first probed
      {{"", "001", "250"}, "", 1}, {cinque, "", 0}, {{}, "", 0},
  };
  for (const Caso& c : casi) {
    TabellaRecord t("NON_LETTA.DAT", lunghezza, false);
    t.carica_da(codici(c.chiavi));
    EXPECT_EQ(t.cerca(c.codice, larghezza), c.atteso) << c.chiavi.size() << " [" << c.codice << "]";
  }
}

TEST(Bisection, AnswersKeptPerCodeAndKeyWidth) {
  // Keys distinct in their first four characters too, and enough codes to make the answers
  // kept outgrow their first room.
  std::vector<std::string> chiavi;
  for (int i = 0; i < 100; ++i) chiavi.push_back(std::to_string(1000 + 3 * i) + "XY");
  TabellaRecord t("NON_LETTA.DAT", lunghezza, false);
  t.carica_da(codici(chiavi));
  for (std::size_t l : {larghezza, std::size_t{4}, larghezza})
    for (int volta = 0; volta < 2; ++volta)  // the second time from the answers kept
      for (std::size_t i = 0; i < chiavi.size(); ++i) {
        ASSERT_EQ(t.cerca(chiavi[i], l), l == larghezza ? i + 1 : 0) << chiavi[i];
        ASSERT_EQ(t.cerca(chiavi[i].substr(0, 4), l), l == 4 ? i + 1 : 0) << l << " " << chiavi[i];
      }
  // Codes of every length, alike but for one byte, are told apart, the second time too.
  for (int volta = 0; volta < 2; ++volta)
    for (std::size_t n = 0; n <= 20; ++n)
      for (std::size_t k = 0; k < n; ++k) {
        std::string codice = "1000XY" + std::string(n, '0');
        codice[6 + k] = '1';
        ASSERT_EQ(t.cerca(codice.substr(6), larghezza), 0u) << codice;
        ASSERT_EQ(t.cerca(codice.substr(0, 6), larghezza), 1u);
      }
}

TEST(MissingTables, KeyedTablesAreCreatedEmptyAtTheirFirstLookup) {
  CartellaTemporanea cartella;
  Tabelle tabelle(cartella.percorso());
  EXPECT_EQ(cerca_diagnosi(tabelle, ""), 0u);
  EXPECT_TRUE(fs::exists(cartella / "ICD9.DAT"));
  EXPECT_FALSE(fs::exists(cartella / "COMUXX.DAT"));
  EXPECT_EQ(RICPRE(tabelle, "89.7") + cerca_comune(tabelle, "015146") + cerca_esenzione(tabelle, "048"), 0u);
  for (const char* nome : {"TERAPIE.DAT", "ICD9.DAT", "COMUXX.DAT", "CODESE.DAT"})
    EXPECT_TRUE(fs::exists(cartella / nome) && fs::file_size(cartella / nome) == 0) << nome;

  // Neither a missing folder nor a folder in the place of a table is created or read.
  Tabelle altrove(cartella / "non_esiste");
  EXPECT_EQ(RICPRE(altrove, "89.7") + cerca_comune(altrove, ""), 0u);
  EXPECT_FALSE(fs::exists(cartella / "non_esiste"));
  fs::remove(cartella / "ICD9.DAT");
  fs::create_directory(cartella / "ICD9.DAT");
  Tabelle cartella_al_posto(cartella.percorso());
  EXPECT_EQ(cerca_diagnosi(cartella_al_posto, ""), 0u);
  EXPECT_EQ(cartella_al_posto.icd9().numero_record(), 0u);
}

TEST(ReadOnce, FileReadOnceContentReplaceable) {
  CartellaTemporanea cartella;
  cartella.scrivi("ICD9.DAT", codici({"001", "250"}));
  const auto sconti = [](std::string c) { return prova::record(Tabella::sconti, {{"codice", c}}); };
  const auto terapie = [](std::string c) { return prova::record(Tabella::terapie, {{"codice", c}}); };
  cartella.scrivi("SCONTI.DAT", sconti("AAA") + sconti("BBB") + "CC");
  cartella.scrivi("TERAPIE.DAT", terapie("89.01") + terapie("ABCDEFG"));
  Tabelle tabelle(cartella.percorso());
  // Service codes are trimmed, and of seven characters.
  for (const auto& [codice, numero] : {std::pair{"  89.01 ", 1u}, {"ABCDEFG", 2u}, {"ABCDEFGH", 0u}})
    EXPECT_EQ(RICPRE(tabelle, codice), numero) << codice;
  EXPECT_EQ(cerca_diagnosi(tabelle, "250"), 2u);
  cartella.scrivi("ICD9.DAT", codici({"250"}));
  EXPECT_EQ(cerca_diagnosi(tabelle, "001"), 1u);
  tabelle.icd9().carica_da(codici({"250"}));  // forgets the answers given
  EXPECT_EQ(cerca_diagnosi(tabelle, "250"), 1u);
  EXPECT_EQ(cerca_diagnosi(tabelle, "001"), 0u);
  // Parallel tables are read by number; a partial last record is no record.
  EXPECT_EQ(tabelle.sconti().numero_record(), 2u);
  EXPECT_EQ(tabelle.sconti().record(2), sconti("BBB"));
  EXPECT_TRUE(tabelle.sconti().record(0).empty() && tabelle.sconti().record(3).empty());
}

TEST(Noese, RecordsOfAServiceInFileOrder) {
  CartellaTemporanea cartella;
  cartella.scrivi("NOESE.DAT",
                  "\"89.7\",\"*0A02*048\",\"\",\"\",\"\"\r\n  90.62 ,*013,*014,\"*015, *016\",*017\r\n"
                  "\" 89.7 \",\"*A01\",\"*A02\",\"*A03\",\"*A04\"\r\n");
  Tabelle tabelle(cartella.percorso());
  const auto r = tabelle.noese("89.7");
  ASSERT_TRUE(r && r->size() == 2u);
  EXPECT_EQ(std::string((*r)[0].prestazione) + "|" + std::string((*r)[0].esenzioni[0]) + "|" +
                std::string((*r)[0].esenzioni[1]) + "|" + std::string((*r)[1].esenzioni[3]),
            "89.7|*0A02*048||*A04");
  const auto s = tabelle.noese(" 90.62 ");
  EXPECT_TRUE(s && s->size() == 1u);
  EXPECT_FALSE(tabelle.noese(""));
  fs::remove(cartella / "NOESE.DAT");
  EXPECT_TRUE(tabelle.noese("89.7"));  // read once
  // Loaded anew. A record that begins after a comma ending a line keeps its empty first field.
  tabelle.carica_noese_da("1,a,b,c,d,\r\nx,y,z,w\r\n");
  EXPECT_FALSE(tabelle.noese("89.7"));
  const auto vuota = tabelle.noese("");
  ASSERT_TRUE(vuota && vuota->size() == 1u);
  EXPECT_EQ(std::string((*vuota)[0].esenzioni[0]) + std::string((*vuota)[0].esenzioni[3]), "xw");
}

}  // namespace
}  // namespace flussom
