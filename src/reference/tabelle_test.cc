#include "reference/tabelle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "support/cartella_temporanea.h"

namespace flussom {
namespace {

namespace fs = std::filesystem;
using prova::CartellaTemporanea;

// A field of exactly `larghezza` bytes, padded with blanks.
std::string campo(std::string testo, std::size_t larghezza) {
  testo.resize(larghezza, ' ');
  return testo;
}

std::string rec_codici(const std::string& codice) {
  return campo(codice, 6) + campo("DESCRIZIONE " + codice, 40) + std::string(17, '9');
}

std::string tabella_codici(const std::vector<std::string>& codici) {
  std::string t;
  for (const auto& c : codici) t += rec_codici(c);
  return t;
}

std::string rec_terapie(const std::string& codice, const std::string& tariffa,
                        std::uint16_t campo5 = 0) {
  return campo(codice, 7) + campo("VISITA " + codice, 50) + "AB" + campo(tariffa, 8) +
         static_cast<char>(campo5 & 0xFF) + static_cast<char>(campo5 >> 8);
}

class TabellePrepara : public ::testing::Test {
 protected:
  CartellaTemporanea cartella;
  Tabelle tabelle{cartella.percorso()};

  void codici(const std::string& nome, const std::vector<std::string>& chiavi) {
    cartella.scrivi(nome, tabella_codici(chiavi));
  }
  std::size_t diagnosi(std::string_view codice) {
    return ric_comune(selettore_diagnosi, codice, tabelle);
  }
};

using Bisezione = TabellePrepara;

TEST_F(Bisezione, PrimoEUltimoTrovatiAssentiSottoESopraNo) {
  codici("ICD9.DAT", {"001", "0030", "250", "4019", "V700"});
  EXPECT_EQ(diagnosi("001"), 1u);
  EXPECT_EQ(diagnosi("0030"), 2u);
  EXPECT_EQ(diagnosi("250"), 3u);
  EXPECT_EQ(diagnosi("4019"), 4u);
  EXPECT_EQ(diagnosi("V700"), 5u);
  EXPECT_EQ(diagnosi("000"), 0u);
  EXPECT_EQ(diagnosi("ZZZ"), 0u);
  EXPECT_EQ(diagnosi("25"), 0u);     // a prefix of a key is smaller than it
  EXPECT_EQ(diagnosi("2500"), 0u);
}

TEST_F(Bisezione, TabellaDiUnSoloRecord) {
  codici("ICD9.DAT", {"4019"});
  EXPECT_EQ(diagnosi("4019"), 1u);
  EXPECT_EQ(diagnosi("4018"), 0u);
  EXPECT_EQ(diagnosi("402"), 0u);
}

TEST_F(Bisezione, BlanchiAttornoAllaChiaveEDentro) {
  // Record keys lose their blanks at both ends; blanks inside count.
  codici("COMUXX.DAT", {"  A", "A1B   ", "B 1"});
  EXPECT_EQ(ric_comune(selettore_comuni, "A", tabelle), 1u);
  EXPECT_EQ(ric_comune(selettore_comuni, "A1B", tabelle), 2u);
  EXPECT_EQ(ric_comune(selettore_comuni, " A1B", tabelle), 0u);  // compared as given
  EXPECT_EQ(ric_comune(selettore_comuni, "A1B ", tabelle), 0u);
  EXPECT_EQ(ric_comune(selettore_comuni, "B 1", tabelle), 3u);
  EXPECT_EQ(ric_comune(selettore_comuni, "B1", tabelle), 0u);
}

TEST_F(Bisezione, MaiuscoleEMinuscoleDiverse) {
  codici("CODESE.DAT", {"0A02", "E01", "e01"});
  EXPECT_EQ(ric_comune(selettore_esenzioni, "E01", tabelle), 2u);
  EXPECT_EQ(ric_comune(selettore_esenzioni, "e01", tabelle), 3u);
  EXPECT_EQ(ric_comune(selettore_esenzioni, "0a02", tabelle), 0u);
}

TEST_F(Bisezione, OrdineDeiByteSenzaSegno) {
  // Bytes above 127 sort after every ASCII character.
  codici("COMUXX.DAT", {"A", "Z", "a", "z", "\xE0", "\xFF"});
  for (std::size_t i = 0; i < 6; ++i) {
    const std::string chiavi[] = {"A", "Z", "a", "z", "\xE0", "\xFF"};
    EXPECT_EQ(ric_comune(selettore_comuni, chiavi[i], tabelle), i + 1) << i;
  }
}

TEST_F(Bisezione, RecordParzialeInFondoNonConta) {
  std::string t = tabella_codici({"100", "200", "300"});
  t += "40";  // 63 * 3 + 2 bytes
  cartella.scrivi("COMUXX.DAT", t);
  EXPECT_EQ(tabelle.comuxx().numero_record(), 3u);
  EXPECT_EQ(ric_comune(selettore_comuni, "300", tabelle), 3u);
  EXPECT_EQ(ric_comune(selettore_comuni, "40", tabelle), 0u);
  EXPECT_TRUE(tabelle.comuxx().record(4).empty());
  EXPECT_EQ(tabelle.comuxx().record(3).size(), lunghezza_codici);

  // Shorter than one record: no record at all.
  TabellaRecord corta(cartella / "CORTA.DAT", 63, false);
  corta.carica_da(std::string(62, 'A'));
  EXPECT_EQ(corta.numero_record(), 0u);
  EXPECT_EQ(corta.cerca("AAAAAA", 6), 0u);
}

TEST_F(Bisezione, CodiceVuotoTrovaSoloUnaChiaveTuttaBianca) {
  codici("ICD9.DAT", {"001", "250", "V70"});
  EXPECT_EQ(diagnosi(""), 0u);
  codici("CODESE.DAT", {"", "001", "250"});
  EXPECT_EQ(ric_comune(selettore_esenzioni, "", tabelle), 1u);
}

TEST_F(Bisezione, ChiaviDoppieDannoIlPrimoRecordToccato) {
  codici("ICD9.DAT", {"A", "A", "B"});
  EXPECT_EQ(diagnosi("A"), 2u);  // the first midpoint
  codici("COMUXX.DAT", {"A", "B", "B", "B", "B", "B", "C"});
  EXPECT_EQ(ric_comune(selettore_comuni, "B", tabelle), 4u);
  codici("CODESE.DAT", {"A", "A", "A", "A", "B", "C", "D", "E"});
  // The first probe of 1..8 is record 4, already an "A".
  EXPECT_EQ(ric_comune(selettore_esenzioni, "A", tabelle), 4u);
}

TEST_F(Bisezione, CodicePiuLungoDelCampoNonTrovaMai) {
  cartella.scrivi("TERAPIE.DAT", rec_terapie("ABCDEFG", "1"));
  EXPECT_EQ(RICPRE(tabelle, "ABCDEFG", nullptr), 1u);
  EXPECT_EQ(RICPRE(tabelle, "ABCDEFGH", nullptr), 0u);
}

// The probes a bisection makes reading one record at a time from the file.
std::size_t bisezione_sul_file(const fs::path& file, std::string_view codice) {
  std::ifstream in(file, std::ios::binary);
  const auto n = static_cast<std::size_t>(fs::file_size(file) / 63);
  std::size_t basso = 1, alto = n;
  while (basso <= alto) {
    const std::size_t medio = (basso + alto) / 2;
    std::string r(63, '\0');
    in.seekg(static_cast<std::streamoff>((medio - 1) * 63));
    in.read(r.data(), 63);
    std::string k = r.substr(0, 6);
    k.erase(0, k.find_first_not_of(' ') == std::string::npos ? k.size()
                                                              : k.find_first_not_of(' '));
    while (!k.empty() && k.back() == ' ') k.pop_back();
    if (codice > k)
      basso = medio + 1;
    else if (codice < k)
      alto = medio - 1;
    else
      return medio;
  }
  return 0;
}

TEST(BisezioneCasuale, UgualeAllaBisezioneSulFileAncheRipetendo) {
  std::mt19937 g(12345);
  std::uniform_int_distribution<int> lettera(0, 3);
  for (int volta = 0; volta < 40; ++volta) {
    CartellaTemporanea cartella;
    std::vector<std::string> chiavi(static_cast<std::size_t>(g() % 60));
    for (auto& k : chiavi) {
      k.assign(1 + g() % 3, 'A');
      for (char& c : k) c = static_cast<char>('A' + lettera(g));
    }
    std::sort(chiavi.begin(), chiavi.end());  // with duplicates
    cartella.scrivi("ICD9.DAT", tabella_codici(chiavi) + std::string(g() % 63, 'Z'));
    Tabelle tabelle(cartella.percorso());
    for (int giro = 0; giro < 2; ++giro) {  // the second round is answered from memory
      for (const std::string& cercato :
           {std::string(), std::string("A"), std::string("AB"), std::string("BBB"),
            std::string("C"), std::string("DD"), std::string("DDDD"), std::string("Z")}) {
        ASSERT_EQ(ric_comune(selettore_diagnosi, cercato, tabelle),
                  bisezione_sul_file(cartella / "ICD9.DAT", cercato))
            << volta << " " << cercato;
      }
    }
  }
}

using Ricpre = TabellePrepara;

TEST_F(Ricpre, RestituisceNumeroERecord) {
  cartella.scrivi("TERAPIE.DAT", rec_terapie("89.01", "12.91", 0x1234) +
                                     rec_terapie("89.7", "20.66", 7) +
                                     rec_terapie("90.62.2", "3.25"));
  RecTerapie r;
  EXPECT_EQ(RICPRE(tabelle, "89.7", &r), 2u);
  EXPECT_EQ(r.codice, "89.7   ");
  EXPECT_EQ(r.campo2, campo("VISITA 89.7", 50));
  EXPECT_EQ(r.campo3, "AB");
  EXPECT_EQ(r.tariffa, "20.66   ");
  EXPECT_EQ(r.campo5, 7u);

  EXPECT_EQ(RICPRE(tabelle, "  89.01 ", &r), 1u);  // blanks around the code removed
  EXPECT_EQ(r.tariffa, "12.91   ");
  EXPECT_EQ(r.campo5, 0x1234u);

  RecTerapie intatto;
  intatto.tariffa = "invariata";
  EXPECT_EQ(RICPRE(tabelle, "89.8", &intatto), 0u);
  EXPECT_EQ(intatto.tariffa, "invariata");
  EXPECT_EQ(RICPRE(tabelle, "90.62.2", nullptr), 3u);
}

TEST_F(Ricpre, ConBlancoDavantiTrovaMentreRicComuneNo) {
  cartella.scrivi("TERAPIE.DAT", rec_terapie("AB1    ", "1"));
  codici("ICD9.DAT", {"AB1   "});
  EXPECT_EQ(RICPRE(tabelle, "AB1", nullptr), 1u);
  EXPECT_EQ(RICPRE(tabelle, " AB1", nullptr), 1u);
  EXPECT_EQ(diagnosi("AB1"), 1u);
  EXPECT_EQ(diagnosi(" AB1"), 0u);
}

using Selettore = TabellePrepara;

TEST_F(Selettore, OgniSelettoreLaSuaTabella) {
  codici("COMUXX.DAT", {"015146"});
  codici("ICD9.DAT", {"4019"});
  codici("CODESE.DAT", {"048", "0A02"});
  EXPECT_EQ(ric_comune(selettore_comuni, "015146", tabelle), 1u);
  EXPECT_EQ(ric_comune(selettore_comuni, "4019", tabelle), 0u);
  EXPECT_EQ(ric_comune(selettore_diagnosi, "4019", tabelle), 1u);
  EXPECT_EQ(ric_comune(selettore_esenzioni, "0A02", tabelle), 2u);
  EXPECT_EQ(ric_comune(selettore_esenzioni, "4019", tabelle), 0u);
  EXPECT_EQ(ric_comune(555, "4019", tabelle), 0u);
  EXPECT_EQ(ric_comune(0, "", tabelle), 0u);
}

using TabelleMancanti = TabellePrepara;

TEST_F(TabelleMancanti, LeTabelleConChiaveVengonoCreateVuote) {
  EXPECT_EQ(diagnosi("4019"), 0u);
  EXPECT_EQ(diagnosi(""), 0u);
  ASSERT_TRUE(fs::exists(cartella / "ICD9.DAT"));
  EXPECT_EQ(fs::file_size(cartella / "ICD9.DAT"), 0u);
  EXPECT_FALSE(fs::exists(cartella / "COMUXX.DAT"));  // only at its own first lookup

  EXPECT_EQ(RICPRE(tabelle, "89.7", nullptr), 0u);
  EXPECT_EQ(ric_comune(selettore_comuni, "015146", tabelle), 0u);
  EXPECT_EQ(ric_comune(selettore_esenzioni, "048", tabelle), 0u);
  for (const char* nome : {"TERAPIE.DAT", "COMUXX.DAT", "CODESE.DAT"}) {
    ASSERT_TRUE(fs::exists(cartella / nome)) << nome;
    EXPECT_EQ(fs::file_size(cartella / nome), 0u) << nome;
  }
}

TEST_F(TabelleMancanti, LeTabelleParalleleENoeseNonVengonoCreate) {
  EXPECT_EQ(tabelle.tera001().numero_record(), 0u);
  EXPECT_TRUE(tabelle.tera001().record(1).empty());
  EXPECT_TRUE(tabelle.sconti().record(1).empty());
  EXPECT_FALSE(tabelle.sconti().presente());
  EXPECT_EQ(tabelle.noese("89.7"), nullptr);
  EXPECT_FALSE(fs::exists(cartella / "TERA001.DAT"));
  EXPECT_FALSE(fs::exists(cartella / "SCONTI.DAT"));
  EXPECT_FALSE(fs::exists(cartella / "NOESE.DAT"));
}

TEST(TabelleInutilizzabili, CartellaInesistenteNonTrovaNulla) {
  CartellaTemporanea cartella;
  Tabelle tabelle(cartella / "non_esiste");
  EXPECT_EQ(ric_comune(selettore_diagnosi, "4019", tabelle), 0u);
  EXPECT_EQ(ric_comune(selettore_comuni, "", tabelle), 0u);
  EXPECT_EQ(RICPRE(tabelle, "89.7", nullptr), 0u);
  EXPECT_FALSE(tabelle.icd9().presente());
  EXPECT_FALSE(fs::exists(cartella / "non_esiste"));
}

TEST(TabelleInutilizzabili, UnaCartellaAlPostoDelFileNonTrovaNulla) {
  CartellaTemporanea cartella;
  fs::create_directory(cartella / "ICD9.DAT");
  Tabelle tabelle(cartella.percorso());
  EXPECT_EQ(ric_comune(selettore_diagnosi, "", tabelle), 0u);
  EXPECT_FALSE(tabelle.icd9().presente());
}

using LetturaUnica = TabellePrepara;

TEST_F(LetturaUnica, IlFileVieneLettoUnaVoltaSola) {
  codici("ICD9.DAT", {"001", "250"});
  EXPECT_EQ(diagnosi("250"), 2u);
  codici("ICD9.DAT", {"250"});
  EXPECT_EQ(diagnosi("250"), 2u);
  EXPECT_EQ(diagnosi("001"), 1u);
  EXPECT_EQ(tabelle.icd9().numero_record(), 2u);
}

TEST_F(LetturaUnica, ContenutoSostituitoCancellaLeRisposteDate) {
  codici("ICD9.DAT", {"001", "250"});
  EXPECT_EQ(diagnosi("250"), 2u);
  tabelle.icd9().carica_da(tabella_codici({"250"}));
  EXPECT_EQ(diagnosi("250"), 1u);
  EXPECT_EQ(diagnosi("001"), 0u);
  EXPECT_TRUE(tabelle.icd9().presente());
}

TEST_F(LetturaUnica, TabelleParalleleLettePerNumero) {
  cartella.scrivi("SCONTI.DAT", campo("AAA", 14) + campo("BBB", 14) + "CC");
  EXPECT_TRUE(tabelle.sconti().presente());
  EXPECT_EQ(tabelle.sconti().numero_record(), 2u);
  EXPECT_EQ(tabelle.sconti().record(2), campo("BBB", 14));
  EXPECT_TRUE(tabelle.sconti().record(0).empty());
  EXPECT_TRUE(tabelle.sconti().record(3).empty());
}

using Noese = TabellePrepara;

TEST_F(Noese, RecordPerPrestazioneInOrdineDiFile) {
  cartella.scrivi("NOESE.DAT",
                  "\"89.7\",\"*0A02*048\",\"\",\"\",\"\"\r\n"
                  "  90.62 ,*013,*014,\"*015, *016\",*017\r\n"
                  "\" 89.7 \",\"*A01\",\"*A02\",\"*A03\",\"*A04\"\r\n");
  const auto* r = tabelle.noese("89.7");
  ASSERT_NE(r, nullptr);
  ASSERT_EQ(r->size(), 2u);
  EXPECT_EQ((*r)[0].prestazione, "89.7");
  EXPECT_EQ((*r)[0].esenzioni[0], "*0A02*048");
  EXPECT_EQ((*r)[0].esenzioni[1], "");
  EXPECT_EQ((*r)[1].esenzioni[3], "*A04");

  const auto* s = tabelle.noese(" 90.62 ");
  ASSERT_NE(s, nullptr);
  ASSERT_EQ(s->size(), 1u);
  EXPECT_EQ((*s)[0].esenzioni[2], "*015, *016");
  EXPECT_EQ((*s)[0].esenzioni[3], "*017");

  EXPECT_EQ(tabelle.noese("89.8"), nullptr);
  EXPECT_EQ(tabelle.noese(""), nullptr);
}

TEST_F(Noese, LettoUnaVoltaESostituibile) {
  cartella.scrivi("NOESE.DAT", "89.7,*048,,,\r\n");
  ASSERT_NE(tabelle.noese("89.7"), nullptr);
  fs::remove(cartella / "NOESE.DAT");
  EXPECT_NE(tabelle.noese("89.7"), nullptr);

  tabelle.carica_noese_da("90.62,*013,,,\r\n89.7,*048,,");  // incomplete last record
  EXPECT_EQ(tabelle.noese("89.7"), nullptr);
  EXPECT_NE(tabelle.noese("90.62"), nullptr);
}

TEST(TabelleMancantiElenco, ElencaIFileAssentiNellOrdineFisso) {
  CartellaTemporanea cartella;
  EXPECT_EQ(Tabelle::mancanti(cartella.percorso()),
            (std::vector<std::string>{"strutture.DAT", "TERAPIE.DAT", "TERA001.DAT", "SCONTI.DAT",
                                      "NOESE.DAT", "ICD9.DAT", "COMUXX.DAT", "CODESE.DAT"}));
  cartella.scrivi("strutture.DAT", "");
  cartella.scrivi("NOESE.DAT", "");
  cartella.scrivi("CODESE.DAT", "");
  fs::create_directory(cartella / "SCONTI.DAT");
  const auto assenti = Tabelle::mancanti(cartella.percorso());
  EXPECT_EQ(assenti, (std::vector<std::string>{"TERAPIE.DAT", "TERA001.DAT", "SCONTI.DAT",
                                               "ICD9.DAT", "COMUXX.DAT"}));
}

}  // namespace
}  // namespace flussom
