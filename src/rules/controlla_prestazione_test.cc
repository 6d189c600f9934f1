#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/stato_run.h"
#include "rules/regole.h"
#include "support/cartella_temporanea.h"

namespace flussom {
namespace {

std::string a_destra(std::string t, std::size_t n) {
  t.resize(n, ' ');
  return t;
}

// A TERAPIE.DAT record with its code and its tariff exactly as stored.
std::string rec_terapie(const std::string& codice, const std::string& tariffa) {
  return a_destra(codice, 7) + std::string(50, 'd') + "AA" + a_destra(tariffa, 8) +
         std::string("\x01\0", 2);
}

// A TERA001.DAT record: the specialty slots given, the others blank.
std::string rec_tera001(const std::vector<std::string>& branche) {
  std::string rec;
  for (const std::string& b : branche) rec += a_destra(b, 2);
  return a_destra(rec, 60) + std::string(20, 't');
}

std::string branche_piene() {
  std::vector<std::string> b{"9 "};
  for (int i = 10; i < 39; ++i) b.push_back(std::to_string(i));
  return rec_tera001(b);
}

std::string importo_errato(const std::string& unitario, const std::string& codice,
                           const std::string& tariffa) {
  return " Importo \x80 " + unitario + " errato Cod.Prestaz.  " + codice + " (\x80 " + tariffa +
         ")  \r\n";
}

class ControllaPrestazione : public ::testing::Test {
 protected:
  ControllaPrestazione() {
    tabelle.terapie().carica_da(rec_terapie("A01", "00012.50") + rec_terapie("B02", "8.33") +
                                rec_terapie("C03", "12.51") + rec_terapie("D04", "  2500") +
                                rec_terapie("E05", "1"));
    // No record for E05.
    tabelle.tera001().carica_da(rec_tera001({"", "", "", "", "", "", "09"}) + rec_tera001({}) +
                                branche_piene() + rec_tera001({}));
    r.progressivo = "1";
    r.cod_branca = "09";
  }

  // Checks a line as line 1 of its ricetta: the report lines it wrote; *numero gets the result.
  std::string controlla(const std::string& codice, const std::string& quantita,
                        const std::string& importo, std::size_t* numero = nullptr) {
    const std::size_t prima = report.contenuto().size();
    r.cod_prestazione = codice;
    r.quantita = quantita;
    r.importo = importo;
    s.ricetta.nprest = 1;
    s.ricetta.memorizza(1, r);
    const std::size_t n = controlla_prestazione(s);
    if (numero) *numero = n;
    return report.contenuto().substr(prima);
  }

  prova::CartellaTemporanea cartella;
  ReportErrori report;
  Tabelle tabelle{cartella.percorso()};
  StatoRun s{report, tabelle, 2024};
  RigaFlusso& r = s.riga;
};

TEST_F(ControllaPrestazione, RigaDiChiusuraContaSoloLaQuantita) {
  r.progressivo = "99";
  std::size_t numero = 7;
  EXPECT_EQ(controlla("", "3", "25,00", &numero), "");
  EXPECT_EQ(numero, 0u);
  EXPECT_EQ(controlla("Z99", "2", "25,00", &numero), "");
  EXPECT_EQ(numero, 0u);
  EXPECT_EQ(controlla("A01", "1", "99,00", &numero), "");
  EXPECT_EQ(numero, 0u);
  EXPECT_EQ(s.totali.nprestazioni, 6);
  EXPECT_EQ(s.ricetta.tot_calcolato, 0);
}

TEST_F(ControllaPrestazione, CodiceAssente) {
  std::size_t numero = 7;
  EXPECT_EQ(controlla("", "2", "25,00", &numero), " Codice Prestazione assente  \r\n");
  EXPECT_EQ(numero, 0u);
  EXPECT_EQ(s.totali.nprestazioni, 2);
  EXPECT_EQ(s.ricetta.tot_calcolato, 0);
  EXPECT_EQ(s.ricetta.err_ricetta, 1);
  EXPECT_EQ(s.risu, 1);
}

TEST_F(ControllaPrestazione, CodiceInesistenteNonAggiungeImporto) {
  std::size_t numero = 7;
  r.cod_branca = "77";  // no specialty check either
  EXPECT_EQ(controlla("Z99", "2", "3,00", &numero), " Cod.Prestaz.  Z99 inesistente   \r\n");
  EXPECT_EQ(numero, 0u);
  EXPECT_EQ(controlla("a01", "1", "3,00"), " Cod.Prestaz.  a01 inesistente   \r\n");
  EXPECT_EQ(s.totali.nprestazioni, 3);
  EXPECT_EQ(s.ricetta.tot_calcolato, 0);
}

TEST_F(ControllaPrestazione, BrancaConfrontataComeNumero) {
  EXPECT_EQ(controlla("A01", "1", "12,50"), "");  // 09 in slot 7
  r.cod_branca = "9";
  EXPECT_EQ(controlla("A01", "1", "12,50"), "");
  r.cod_branca = "12";
  EXPECT_EQ(controlla("A01", "1", "12,50"), " Prestazione A01 non consona alla Branca 12  \r\n");
  r.cod_branca = "09";
  EXPECT_EQ(controlla("C03", "1", "12,51"), "");  // "9 " in slot 1
  r.cod_branca = "99";
  EXPECT_EQ(controlla("C03", "1", "12,51"), " Prestazione C03 non consona alla Branca 99  \r\n");
}

TEST_F(ControllaPrestazione, BrancaVuotaCorrispondeAUnoSlotVuoto) {
  r.cod_branca = "";
  EXPECT_EQ(controlla("A01", "1", "12,50"), "");
  EXPECT_EQ(controlla("C03", "1", "12,51"), " Prestazione C03 non consona alla Branca   \r\n");
}

TEST_F(ControllaPrestazione, ServizioSenzaBrancheConsonoAOgniBranca) {
  r.cod_branca = "77";
  EXPECT_EQ(controlla("B02", "1", "8,33"), "");  // all 30 slots blank
  EXPECT_EQ(controlla("E05", "1", "1,00"), "");  // no record in TERA001.DAT
}

TEST(ControllaPrestazioneTabelle, Tera001MancantePassa) {
  prova::CartellaTemporanea cartella;
  ReportErrori report;
  Tabelle tabelle{cartella.percorso()};
  tabelle.terapie().carica_da(rec_terapie("A01", "12.50"));
  StatoRun s{report, tabelle, 2024};
  s.riga.progressivo = "1";
  s.riga.cod_branca = "77";
  s.riga.cod_prestazione = "A01";
  s.riga.quantita = "1";
  s.riga.importo = "12,50";
  s.ricetta.nprest = 1;
  s.ricetta.memorizza(1, s.riga);
  EXPECT_EQ(controlla_prestazione(s), 1u);
  EXPECT_EQ(report.contenuto(), "");
  EXPECT_FALSE(std::filesystem::exists(cartella / "TERA001.DAT"));
}

TEST_F(ControllaPrestazione, ImportoUnitarioConfrontatoAlCentesimo) {
  EXPECT_EQ(controlla("A01", "2", "25,00"), "");  // 12,50 against 00012.50
  EXPECT_EQ(controlla("B02", "3", "25,00"), "");  // 8,3333 against 8.33
  EXPECT_EQ(controlla("C03", "2", "25,01"), "");  // 12,505 rounds to 12,51
  EXPECT_DOUBLE_EQ(s.ricetta.tot_calcolato, 75.01);
}

TEST_F(ControllaPrestazione, ImportoErratoMostraUnitarioETariffa) {
  std::size_t numero = 0;
  EXPECT_EQ(controlla("A01", "2", "25,01", &numero), importo_errato("12,51", "A01", "00012.50"));
  EXPECT_EQ(numero, 1u);
  EXPECT_DOUBLE_EQ(s.ricetta.tot_calcolato, 25.01);
  EXPECT_EQ(controlla("B02", "3", ",60"), importo_errato(",20", "B02", "8.33"));
  EXPECT_EQ(s.ricetta.err_ricetta, 1);
  EXPECT_EQ(s.risu, 1);
}

TEST_F(ControllaPrestazione, ImportoSenzaVirgola) {
  std::size_t numero = 0;
  EXPECT_EQ(controlla("D04", "1", "2500", &numero), "");
  EXPECT_EQ(numero, 4u);
  EXPECT_EQ(s.risu, 0);
  EXPECT_EQ(controlla("D04", "2", "2500"), importo_errato("1250,00", "D04", "2500"));
  EXPECT_DOUBLE_EQ(s.ricetta.tot_calcolato, 5000);
}

TEST_F(ControllaPrestazione, QuantitaZeroAggiungeLImportoSenzaControllarlo) {
  std::size_t numero = 0;
  EXPECT_EQ(controlla("A01", "0", "25,00", &numero), "");
  EXPECT_EQ(numero, 1u);
  EXPECT_DOUBLE_EQ(s.ricetta.tot_calcolato, 25);
  EXPECT_EQ(s.totali.nprestazioni, 0);
}

TEST_F(ControllaPrestazione, BrancaErrataNonFermaIlControlloDellImporto) {
  r.cod_branca = "99";
  std::size_t numero = 0;
  EXPECT_EQ(controlla("C03", "1", "10,00", &numero),
            " Prestazione C03 non consona alla Branca 99  \r\n" +
                importo_errato("10,00", "C03", "12.51"));
  EXPECT_EQ(numero, 3u);
  EXPECT_DOUBLE_EQ(s.ricetta.tot_calcolato, 10);
}

TEST_F(ControllaPrestazione, UnaRigaOltreLaVentesimaUsaIPropriValori) {
  r.cod_prestazione = "Z99";
  s.ricetta.memorizza(20, r);
  r.progressivo = "21";
  r.cod_prestazione = "A01";
  r.quantita = "2";
  r.importo = "25,00";
  s.ricetta.nprest = 21;
  s.ricetta.memorizza(21, r);
  EXPECT_EQ(controlla_prestazione(s), 1u);
  EXPECT_EQ(report.contenuto(), "");
  EXPECT_EQ(s.totali.nprestazioni, 2);
  EXPECT_DOUBLE_EQ(s.ricetta.tot_calcolato, 25);
}

}  // namespace
}  // namespace flussom
