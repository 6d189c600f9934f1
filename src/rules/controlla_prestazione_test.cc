#include <gtest/gtest.h>

#include "rules/regole.h"
#include "support/stato_prova.h"

namespace flussom {
namespace {

// A TERAPIE.DAT record with its code and its tariff exactly as stored, its other bytes 'd'.
std::string rec_terapie(const std::string& codice, const std::string& tariffa) {
  return prova::record(Tabella::terapie, {{"codice", codice}, {"tariffa", tariffa}}, 'd');
}

std::string non_consona(const std::string& codice, const std::string& branca) {
  return " Prestazione " + codice + " non consona alla Branca " + branca + "  \r\n";
}

std::string importo_errato(const std::string& unitario, const std::string& codice, const std::string& tariffa) {
  return " Importo \x80 " + unitario + " errato Cod.Prestaz.  " + codice + " (\x80 " + tariffa + ")  \r\n";
}

class ControllaPrestazione : public ::testing::Test, public prova::StatoProva {
 protected:
  ControllaPrestazione() : StatoProva(2024) {
    tabelle.terapie().carica_da(rec_terapie("A01", "00012.50") + rec_terapie("B02", "8.33") +
                                rec_terapie("C03", "12.51") + rec_terapie("D04", "  2500") + rec_terapie("E05", "1"));
  }

  // TERA001.DAT: A01 has "x9" (read as 0), " x" (0), "1x" (1) and 09 in slot 7; B02 and
  // D04 list no specialty; C03 all 30 ("9 ", 10 to 38); no record for E05.
  void carica_tera001() {
    std::string c03 = "9 ";
    for (int i = 10; i < 39; ++i) c03 += std::to_string(i);
    const auto rec = [](const std::string& b) { return prova::record(Tabella::tera001, {{"branche", b}}, 't'); };
    tabelle.tera001().carica_da(rec("x9 x1x      09") + rec("") + rec(c03) + rec(""));
  }

  // Checks a line as line n of its ricetta: the report lines it wrote; *numero gets the result.
  std::string controlla(const char* branca, const char* codice, const char* quantita, const char* importo,
                        std::size_t* numero = nullptr, std::int64_t n = 1) {
    s.riga.cod_branca = branca;
    s.riga.cod_prestazione = codice;
    s.riga.quantita = quantita;
    s.riga.importo = importo;
    s.ricetta.nprest = n;
    s.ricetta.memorizza(n, s.riga);
    const std::size_t trovato = controlla_prestazione(s);
    if (numero) *numero = trovato;
    return nuovo();
  }
};

TEST_F(ControllaPrestazione, CodeBranchAndAmount) {
  carica_tera001();
  const struct Caso {
    const char *branca, *codice, *quantita, *importo;
    std::string atteso;
    std::size_t numero;
    double aggiunto;  // to the ricetta's computed total
    const char* progressivo = "1";
  } casi[] = {
      // A closing row only counts its quantity.
      {"77", "", "3", "25,00", "", 0, 0, "99"}, {"77", "Z99", "2", "1,00", "", 0, 0, "99"},
      {"77", "A01", "1", "99,00", "", 0, 0, "99"},
      {"77", "", "2", "25,00", " Codice Prestazione assente  \r\n", 0, 0},
      {"77", "Z99", "2", "3,00", " Cod.Prestaz.  Z99 inesistente   \r\n", 0, 0},
      {"77", "a01", "1", "3,00", " Cod.Prestaz.  a01 inesistente   \r\n", 0, 0},
      // Specialties compared as numbers; an empty one matches an empty slot.
      {"09", "A01", "1", "12,50", "", 1, 12.5},
      {"9", "A01", "1", "12,50", "", 1, 12.5}, {"1", "A01", "1", "12,50", "", 1, 12.5},
      {"12", "A01", "1", "12,50", non_consona("A01", "12"), 1, 12.5},
      {"09", "C03", "1", "12,51", "", 3, 12.51},
      {"", "A01", "1", "12,50", "", 1, 12.5},
      {"", "C03", "1", "12,51", non_consona("C03", ""), 3, 12.51},
      {"77", "B02", "1", "8,33", "", 2, 8.33},
      {"77", "E05", "1", "1,00", "", 5, 1},
      {"99", "C03", "1", "10,00", non_consona("C03", "99") + importo_errato("10,00", "C03", "12.51"), 3, 10},
      // The unit amount against the tariff, to the cent; a quantity of 0 is added, not compared.
      {"09", "B02", "3", "25,00", "", 2, 25},
      {"09", "C03", "2", "25,01", "", 3, 25.01},
      {"09", "A01", "2", "25,01", importo_errato("12,51", "A01", "00012.50"), 1, 25.01},
      {"09", "B02", "3", ",60", importo_errato(",20", "B02", "8.33"), 2, 0.6},
      {"09", "D04", "1", "2500", "", 4, 2500},
      {"09", "D04", "2", "2500", importo_errato("1250,00", "D04", "2500"), 4, 2500},
      {"09", "A01", "0", "25,00", "", 1, 25},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(std::string(c.codice) + " " + c.quantita + " " + c.importo);
    const double prima = s.ricetta.tot_calcolato;
    std::size_t numero = 99;
    s.riga.progressivo = c.progressivo;
    EXPECT_EQ(controlla(c.branca, c.codice, c.quantita, c.importo, &numero), c.atteso);
    EXPECT_EQ(numero, c.numero);
    EXPECT_NEAR(s.ricetta.tot_calcolato - prima, c.aggiunto, 1e-9);
  }
}

TEST_F(ControllaPrestazione, PastTheTwentiethLineAndWithoutTera001) {
  s.riga.cod_prestazione = "Z99";
  s.ricetta.memorizza(20, s.riga);
  std::size_t numero = 0;
  // The line's own values; any specialty suits a service when TERA001.DAT is missing.
  EXPECT_EQ(controlla("77", "A01", "2", "25,00", &numero, 21), "");
  EXPECT_EQ(numero, 1u);
  EXPECT_DOUBLE_EQ(s.ricetta.tot_calcolato, 25);
  EXPECT_FALSE(std::filesystem::exists(cartella / "TERA001.DAT"));
}

}  // namespace
}  // namespace flussom
