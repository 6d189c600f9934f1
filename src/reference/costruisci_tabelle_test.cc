#include "reference/costruisci_tabelle.h"

#include <gtest/gtest.h>

#include <cmath>

#include "check/campi_csv.h"
#include "check/testo.h"
#include "reference/criptare.h"
#include "reference/tabelle.h"
#include "support/cartella_temporanea.h"

namespace flussom {
namespace {

const std::string intestazione = "codice,descrizione,tariffa,branche,sconto\n";

const FileTabella* trova(const EsitoCostruzione& e, std::string_view nome) {
  for (const FileTabella& t : e.tabelle)
    if (t.nome == nome) return &t;
  return nullptr;
}

EsitoCostruzione solo_prestazioni(const std::string& csv) {
  SorgentiTabelle s;
  s.prestazioni = csv;
  return costruisci_tabelle(s);
}

// The discount a stored SCONTI.DAT field gives back, as the discount computation reads it.
double sconto_letto(std::string_view campo) {
  std::string s(trim(campo));
  criptare(s);
  return valnum(s);
}

TEST(CostruisciTabelle, PrestazioniNeiTreFileParalleli) {
  const EsitoCostruzione e = solo_prestazioni(intestazione +
                                              "89.7,PRIMA VISITA,20.66,08 9,1.50\n"
                                              "89.01,VISITA SUCCESSIVA,\"12,9\",,\n");
  ASSERT_FALSE(e.errore);
  const FileTabella* terapie = trova(e, "TERAPIE.DAT");
  const FileTabella* tera001 = trova(e, "TERA001.DAT");
  const FileTabella* sconti = trova(e, "SCONTI.DAT");
  ASSERT_TRUE(terapie && tera001 && sconti);
  EXPECT_EQ(terapie->record, 2u);
  ASSERT_EQ(terapie->contenuto.size(), 2 * lunghezza_terapie);
  ASSERT_EQ(tera001->contenuto.size(), 2 * lunghezza_tera001);
  ASSERT_EQ(sconti->contenuto.size(), 2 * lunghezza_sconti);
  // "89.01" sorts before "89.7": record 1 is the follow-up visit in all three files.
  EXPECT_EQ(terapie->contenuto.substr(0, 69), "89.01  VISITA SUCCESSIVA" + std::string(33, ' ') +
                                                  "  00012.90" + std::string(2, '\0'));
  EXPECT_EQ(terapie->contenuto.substr(69, 7 + 50 + 2 + 8),
            "89.7   PRIMA VISITA" + std::string(38, ' ') + "  00020.66");
  EXPECT_EQ(tera001->contenuto.substr(0, 80), std::string(80, ' '));
  EXPECT_EQ(tera001->contenuto.substr(80), "0809" + std::string(76, ' '));
  EXPECT_EQ(sconti->contenuto.substr(0, 14), "89.01  " + std::string(7, ' '));
  EXPECT_EQ(sconti->contenuto.substr(14, 7), "89.7   ");
  EXPECT_EQ(sconto_letto(sconti->contenuto.substr(21, 7)), 1.5);
  EXPECT_EQ(sconto_letto(sconti->contenuto.substr(7, 7)), 0.0);
}

TEST(CostruisciTabelle, ChiaviInOrdineOrdinaleDeiByte) {
  const EsitoCostruzione e = solo_prestazioni(intestazione +
                                              "a1,a,1,01,\n9,b,1,02,\nA1,c,1,03,\n"
                                              "89.7A,d,1,04,\n89.7,e,1,05,\n89.01,f,1,06,\n");
  ASSERT_FALSE(e.errore);
  const std::string& t = trova(e, "TERAPIE.DAT")->contenuto;
  const std::string& b = trova(e, "TERA001.DAT")->contenuto;
  const char* attese[] = {"89.01", "89.7", "89.7A", "9", "A1", "a1"};
  const char* branche[] = {"06", "05", "04", "02", "03", "01"};
  for (std::size_t n = 0; n < 6; ++n) {
    EXPECT_EQ(trim(t.substr(n * 69, 7)), attese[n]);
    EXPECT_EQ(b.substr(n * 80, 2), branche[n]);
  }
}

TEST(CostruisciTabelle, CodiciNoeseETesti) {
  SorgentiTabelle s;
  s.comuni =
      "\xEF\xBB\xBF"
      "Descrizione,Note,CODICE\r\n"  // BOM, CR LF, columns in any order
      "Agli\xC3\xA8,x,001001\r\n\r\n,,\r\n"
      "\"Albiano d'Ivrea, \"\"TO\"\"\",,001004\r\n";
  s.diagnosi = "codice,descrizione\n4019,Ipertensione\n25000,Diabete\n";
  s.noese = "prestazione,esenzioni\n89.7,013  0A31\n88.1,\n89.7,048\n";
  const EsitoCostruzione e = costruisci_tabelle(s);
  ASSERT_FALSE(e.errore) << e.errore->motivo;
  ASSERT_EQ(e.tabelle.size(), 3u);
  EXPECT_EQ(trova(e, "COMUXX.DAT")->contenuto, "001001Agli\xE8" + std::string(52, ' ') +
                                                   "001004Albiano d'Ivrea, \"TO\"" +
                                                   std::string(36, ' '));
  EXPECT_EQ(trova(e, "ICD9.DAT")->contenuto.substr(0, 6), "25000 ");
  const std::string& noese = trova(e, "NOESE.DAT")->contenuto;
  EXPECT_EQ(noese,
            "\"89.7\",\"*013*0A31\",\"\",\"\",\"\"\r\n\"88.1\",\"\",\"\",\"\",\"\"\r\n"
            "\"89.7\",\"*048\",\"\",\"\",\"\"\r\n");
  ASSERT_EQ(leggi_record(noese, 5).size(), 3u);  // as the exemption check reads it
}

struct CasoRifiutato {
  std::string csv;
  std::size_t riga;
  std::string motivo;  // part of the reason
};

TEST(CostruisciTabelle, SorgentiRifiutateConRigaEMotivo) {
  const std::string ok = "89.7,PRIMA VISITA,20.66,08,\n";
  const CasoRifiutato casi[] = {
      {intestazione + ok + "89.7123.4,X,1,,\n", 3, "troppo lungo: 9 caratteri, al massimo 7"},
      {intestazione + ok + ok, 3, "ripetuto (gi\xE0 alla riga 2)"},
      {intestazione + "89 7,X,1,,\n", 2, "caratteri non ammessi"},
      {intestazione + ",X,1,,\n", 2, "codice mancante"},
      {intestazione + "89.7,Ko\xC4\x87,1,,\n", 2, "U+0107 non ha forma in Windows-1252"},
      {intestazione + "89.7,Agli\xE8,1,,\n", 2, "UTF-8 non valido"},
      {intestazione + "89.7,\"due\nrighe\",1,,\n89.8,X,1y,,\n", 2, "carattere di controllo"},
      {intestazione + "89.7,\"due\nrighe\",1,,,\n", 2, "6 campi invece dei 5"},
      {intestazione + ok + "89.8,X,12.5x,,\n", 3, "non \xE8 un importo"},
      {intestazione + "89.8,X,1.234,,\n", 2, "non \xE8 un importo"},
      {intestazione + "89.8,X,-3,,\n", 2, "non \xE8 un importo"},
      {intestazione + "89.8,X,,,\n", 2, "non \xE8 un importo"},
      {intestazione + "89.8,X,100000,,\n", 2, "troppo grande"},
      {intestazione + "89.8,X,1,,1 50\n", 2, "non \xE8 un importo"},
      {intestazione + "89.8,X,1,8a,\n", 2, "branca \"8a\" non valida"},
      {intestazione + "89.8,X,1,00,\n", 2, "branca \"00\" non valida"},
      {intestazione + "89.7,\"due\nrighe\",1,,\n89.8,X,1,\n", 4, "4 campi invece dei 5"},
      {intestazione + "89.8," + std::string(51, 'X') + ",1,,\n", 2,
       "descrizione troppo lunga: 51 caratteri, al massimo 50"},
      {intestazione + ok + "89.8,X,1,\n", 3, "4 campi invece dei 5"},
      {"codice,descrizione,branche\n" + ok, 1, "manca la colonna \"tariffa\""},
      {"codice,Codice,descrizione,tariffa\n", 1, "colonna \"codice\" ripetuta"},
      {"", 0, "manca la riga d'intestazione"},
      {intestazione + ok + "89.8,\"X,1,,\n\n", 3, "virgolette aperte e mai chiuse"},
      {intestazione + "89.8,X\"Y,1,,\n", 2, "virgolette dentro un campo"},
      {intestazione + "89.8,\"X\"Y,1,,\n", 2, "dopo le virgolette"},
  };
  for (const CasoRifiutato& c : casi) {
    const EsitoCostruzione e = solo_prestazioni(c.csv);
    ASSERT_TRUE(e.errore) << c.csv;
    EXPECT_TRUE(e.tabelle.empty());
    EXPECT_EQ(e.errore->file, "prestazioni.csv");
    EXPECT_EQ(e.errore->riga, c.riga) << c.csv;
    EXPECT_NE(e.errore->motivo.find(c.motivo), std::string::npos)
        << c.csv << " -> " << e.errore->motivo;
  }
  std::string trentuno;
  for (int b = 1; b <= 31; ++b) trentuno += std::to_string(b) + " ";
  const EsitoCostruzione troppe = solo_prestazioni(intestazione + "89.8,X,1," + trentuno + ",\n");
  ASSERT_TRUE(troppe.errore);
  EXPECT_EQ(troppe.errore->motivo, "31 branche, al massimo 30");
  EXPECT_FALSE(solo_prestazioni(intestazione + "89.8,X,1,   ,\n").errore);
}

TEST(CostruisciTabelle, AltreSorgentiRifiutate) {
  SorgentiTabelle s;
  s.prestazioni = intestazione + "89.7,PRIMA VISITA,20.66,08,\n";  // good, yet nothing is built
  s.esenzioni = "codice,descrizione\n013,Diabete\n0130000,Troppo lungo\n";
  EsitoCostruzione e = costruisci_tabelle(s);
  ASSERT_TRUE(e.errore);
  EXPECT_TRUE(e.tabelle.empty());
  EXPECT_EQ(e.errore->file, "esenzioni.csv");
  EXPECT_EQ(e.errore->riga, 3u);
  s.esenzioni.reset();
  s.noese = "prestazione,esenzioni\n89.7,013 *048\n";
  e = costruisci_tabelle(s);
  ASSERT_TRUE(e.errore);
  EXPECT_EQ(e.errore->file, "noese.csv");
  EXPECT_NE(e.errore->motivo.find("\"*048\""), std::string::npos);
  s.noese = "prestazione,esenzioni\n89.7,0130000\n";
  EXPECT_TRUE(costruisci_tabelle(s).errore);
}

TEST(CostruisciTabelle, OgniScontoSiRileggeUguale) {
  int riscritti = 0;
  for (long long c = 1; c <= 99999; ++c) {
    const std::optional<std::string> campo = campo_sconto(c);
    ASSERT_TRUE(campo) << c;
    ASSERT_EQ(campo->size(), 7u);
    ASSERT_NE(trim(*campo).size(), 0u);
    const std::string_view scritto = trim(*campo);
    ASSERT_EQ(*campo, std::string(scritto) + std::string(7 - scritto.size(), ' '));
    ASSERT_EQ(std::llround(sconto_letto(*campo) * 100), c) << c;
    std::string chiaro =
        std::to_string(c / 100) + "." + std::to_string(c % 100 / 10) + std::to_string(c % 10);
    decriptare(chiaro);
    if (chiaro.front() == ' ' || chiaro.back() == ' ') ++riscritti;
  }
  // The usual writing would have lost a blank at either end for about 1 in 128 amounts.
  EXPECT_GT(riscritti, 100);
  EXPECT_FALSE(campo_sconto(-1));
}

TEST(CostruisciTabelle, ScriveTuttoOppureNiente) {
  prova::CartellaTemporanea cartella;
  const EsitoCostruzione e = solo_prestazioni(intestazione + "89.7,PRIMA VISITA,20.66,08,\n");
  const std::filesystem::path dest = cartella / "nuova" / "tabelle";
  ASSERT_FALSE(scrivi_tabelle(e.tabelle, dest));
  EXPECT_EQ(prova::leggi_file(dest / "TERAPIE.DAT"), trova(e, "TERAPIE.DAT")->contenuto);
  std::size_t file = 0;
  for (const auto& f : std::filesystem::directory_iterator(dest)) {
    (void)f;
    ++file;
  }
  EXPECT_EQ(file, 3u);  // no temporary left behind
  // A destination that cannot be a folder: nothing is written, the old tables stay.
  cartella.scrivi("file", "x");
  EXPECT_TRUE(scrivi_tabelle(e.tabelle, cartella / "file"));
  EXPECT_EQ(cartella.leggi("file"), "x");
}

TEST(CostruisciTabelle, LeggeLeSorgentiPresenti) {
  prova::CartellaTemporanea cartella;
  cartella.scrivi("diagnosi.csv", "codice,descrizione\n");
  SorgentiTabelle s;
  s.prestazioni = "vecchia";
  EXPECT_FALSE(leggi_sorgenti(cartella.percorso(), s));
  EXPECT_EQ(s.diagnosi, "codice,descrizione\n");
  EXPECT_FALSE(s.prestazioni);
  EXPECT_TRUE(leggi_sorgenti(cartella / "manca", s));
}

// The bundled sample sources build, and the lookups find every code in them.
TEST(CostruisciTabelle, TabelleDiEsempioCercabili) {
  SorgentiTabelle s;
  ASSERT_FALSE(leggi_sorgenti(std::filesystem::path(FLUSSOM_SORGENTI) / "tabelle", s));
  ASSERT_TRUE(s.prestazioni && s.diagnosi && s.comuni && s.esenzioni && s.noese);
  const EsitoCostruzione e = costruisci_tabelle(s);
  ASSERT_FALSE(e.errore) << e.errore->file << ":" << e.errore->riga << " " << e.errore->motivo;
  prova::CartellaTemporanea cartella;
  ASSERT_FALSE(scrivi_tabelle(e.tabelle, cartella.percorso()));
  Tabelle tabelle(cartella.percorso());
  auto codici = [](const std::string& csv) {
    std::vector<std::string> c;
    std::size_t i = csv.find('\n') + 1;
    while (i < csv.size()) {
      const std::size_t fine = csv.find('\n', i);
      c.push_back(csv.substr(i, csv.find(',', i) - i));
      i = fine + 1;
    }
    return c;
  };
  for (const std::string& c : codici(*s.prestazioni)) {
    RecTerapie r;
    const std::size_t n = RICPRE(tabelle, c, &r);
    ASSERT_GT(n, 0u) << c;
    EXPECT_EQ(trim(tabelle.sconti().record(n).substr(0, 7)), c);
  }
  const std::pair<const std::optional<std::string>&, int> elenchi[] = {
      {s.diagnosi, selettore_diagnosi},
      {s.comuni, selettore_comuni},
      {s.esenzioni, selettore_esenzioni}};
  for (const auto& [csv, selettore] : elenchi)
    for (const std::string& c : codici(*csv)) EXPECT_GT(ric_comune(selettore, c, tabelle), 0u) << c;
  EXPECT_GT(trova(e, "COMUXX.DAT")->record, 8000u);
}

}  // namespace
}  // namespace flussom
