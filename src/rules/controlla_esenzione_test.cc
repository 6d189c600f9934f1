#include <gtest/gtest.h>

#include "rules/regole.h"
#include "support/stato_prova.h"

namespace flussom {
namespace {

const std::string noese =
    "89.01,\"*048*0A1\",\"\",\"\",\"\"\r\n89.02,\"048 0A1\",\"\",\"\",\"\"\r\n"
    "89.03,\"\",\"*X9\",\"\",\"*0A02,*7\"\r\n89.04,\"*001\",\"\",\"\",\"\"\r\n"
    "89.04,\"*002\",\"\",\"\",\"\"\r\n89.04,\"*003\",\"\",\"\",\"\"\r\n89.05,\"\",\"\",\"\",\"\"\r\n";

std::string non_esente(const std::string& esenzione, const std::string& prestazione, int volte = 1) {
  std::string riga = " Per l'esenzione " + esenzione + " la prestazione " + prestazione + " non \xE8 Esente \r\n", t;
  while (volte-- > 0) t += riga;
  return t;
}

class ControllaEsenzione : public ::testing::Test, public prova::StatoProva {
 protected:
  ControllaEsenzione() : StatoProva(2024) {}
  // The lines written for a line of this service and exemption, alone in its ricetta as line n.
  std::string controlla(const std::string& prestazione, const std::string& esenzione,
                        const std::string& progressivo = "1", std::int64_t n = 1) {
    s.ricetta.svuota_slot();
    s.riga.progressivo = progressivo;
    s.riga.cod_prestazione = prestazione;
    s.riga.cod_esenzione = esenzione;
    s.ricetta.nprest = n;
    s.ricetta.memorizza(n, s.riga);
    controlla_esenzione(s);
    return nuovo();
  }
};

TEST_F(ControllaEsenzione, LookedUpAsATextAfterTheAsterisk) {
  // NOESE.DAT missing: every exemption passes, and the table is not created.
  EXPECT_EQ(controlla("89.05", "048"), "");
  EXPECT_FALSE(std::filesystem::exists(cartella / "NOESE.DAT"));
  tabelle.carica_noese_da(noese);
  const struct Caso { const char *prestazione, *esenzione; int righe; } casi[] = {
      {"89.01", "048", 0}, {"89.01", "0A1", 0}, {"89.02", "0A1", 1},  // no "*" before it
      {"89.03", "0A0", 0}, {"89.03", "X9", 0},  {"89.03", "7", 0},   {"89.03", "0a0", 1}, {"89.03", "A02", 1},
      // One line per record that does not list it, up to the first that does.
      {"89.04", "002", 1}, {"89.04", "001", 0}, {"89.04", "004", 3},
      {"89.99", "048", 0},  // a service without records
      {"89.05", "", 0},
  };
  for (const Caso& c : casi)
    EXPECT_EQ(controlla(c.prestazione, c.esenzione), non_esente(c.esenzione, c.prestazione, c.righe)) << c.esenzione;
  // Four codes and every code starting with one of thirteen capitals cover every service.
  for (const char* codice :
       {"D01", "R99", "M50", "M51", "E01", "G", "L12", "R01", "S", "C9", "N01", "V", "I07", "T1", "B", "F10", "P01"})
    EXPECT_EQ(controlla("89.05", codice), "") << codice;
  for (const char* codice : {"e01", "A01", "D02", "H1", "M52", "Q", "048", "r99"})
    EXPECT_EQ(controlla("89.05", codice), non_esente(codice, "89.05")) << codice;
  EXPECT_EQ(controlla("89.05", "048", "99"), "");  // a closing row
  EXPECT_EQ(controlla("89.05", "048", "21", 21), non_esente("048", "89.05"));  // past line 20: its own service
}

}  // namespace
}  // namespace flussom
