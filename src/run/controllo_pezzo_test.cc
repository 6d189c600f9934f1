#include "run/controllo_pezzo.h"

#include <gtest/gtest.h>

#include <random>

#include "run/importa.h"
#include "support/cartella_temporanea.h"
#include "support/riga_prova.h"

namespace flussom {
namespace {

using prova::RigaProva;

// Everything a run tells but its progress, in one text.
class Diario : public EventiRun {
 public:
  std::string testo;
  void avviso(std::string_view t) override { testo += "A " + std::string(t) + "\n"; }
  void struttura_trovata(std::string_view t) override { testo += "F " + std::string(t) + "\n"; }
  void riga_stato(std::string_view t) override { testo += "S " + std::string(t) + "\n"; }
  void messaggio(std::string_view t) override { testo += "M " + std::string(t) + "\n"; }
  void riga_report(const RigaReport& r) override {
    testo += "R " + std::to_string(static_cast<int>(r.tipo)) + " " + std::to_string(r.riga) + " " +
             std::string(identificatore(r.regola)) + " " + std::to_string(r.numero) + " " +
             std::string(r.ricetta) + " " + std::to_string(r.prima_riga) + "-" + std::to_string(r.ultima_riga) +
             " " + std::string(r.testo) + "\n";
  }
};

// Ricette of one to three services at random, with trouble at random places: errors and so
// error blocks, numbers met before (near and far), closing rows missing or alone, lines of
// the wrong length, a line far longer than a piece, a facility not registered, and line
// breaks of every kind.
std::string file_a_caso(unsigned seme) {
  std::mt19937 g(seme);
  const auto caso = [&](unsigned n) { return g() % n; };
  const char* const fine[] = {"\r\n", "\n", "\r"};
  const std::string a_capo = fine[seme % 3];
  std::string out;
  for (unsigned r = 0; r < 300; ++r) {
    RigaProva riga;
    const unsigned numero = caso(12) == 0 ? caso(r + 1) : caso(12) == 0 && r > 0 ? r - 1 : r;
    riga.num_ricetta = "19000000" + std::to_string(1000000 + numero);
    if (seme % 4 == 0 && caso(400) == 0) riga.cod_struttura = "999999";
    const unsigned servizi = caso(8) == 0 ? 0 : 1 + caso(3);
    for (unsigned i = 1; i <= servizi; ++i) {
      riga.progressivo = std::to_string(i);
      riga.quantita = caso(10) == 0 ? "000" : "001";
      std::string linea = riga.linea();
      if (caso(seme % 2 ? 150 : 3000) == 0) linea.resize(caso(2) ? 200 : 3000, 'x');
      out += linea + (caso(50) == 0 ? "\r\n" : a_capo);
    }
    const std::string ticket = std::to_string(20 + servizi) + ",66";
    if (caso(25) != 0) out += riga.chiusura(ticket, "0000,00").linea() + a_capo;
  }
  return out;
}

class DueCore : public ::testing::Test {
 protected:
  DueCore() {
    prova::costruisci_in(dir.percorso(), prova::tabelle_base());
    dir.scrivi("strutture.DAT", prova::strutture_base());
  }
  // The run of `file` in pieces of `pezzo` bytes (0: line by line): what it told, its
  // report and its result.
  std::string esegui(const std::filesystem::path& file, std::size_t pezzo, RisultatoRun& r) {
    Diario diario;
    ParametriRun par{file, dir.percorso()};
    par.pezzo = pezzo;
    r = importa(par, diario, orologio);
    return diario.testo + dir.leggi("errori.RPT");
  }

  prova::CartellaTemporanea dir;
  OrologioFisso orologio{std::chrono::year{2026} / 12 / 6};
};

TEST_F(DueCore, PiecesGiveTheRunLineByLine) {
  for (unsigned seme = 1; seme <= 16; ++seme) {
    SCOPED_TRACE(seme);
    const auto file = dir.scrivi("FLM10.txt", file_a_caso(seme));
    RisultatoRun uno;
    const std::string atteso = esegui(file, 0, uno);
    for (const std::size_t pezzo : {300, 1000, 4000}) {
      SCOPED_TRACE(pezzo);
      RisultatoRun due;
      EXPECT_EQ(esegui(file, pezzo, due), atteso);
      EXPECT_EQ(due.esito, uno.esito);
      EXPECT_EQ(due.errori_nel_report, uno.errori_nel_report);
      const TotaliVerifica &t = due.totali, &u = uno.totali;
      EXPECT_EQ(std::tie(t.nrec, t.nrighe, t.nricette, t.nric_errate), std::tie(u.nrec, u.nrighe, u.nricette, u.nric_errate));
      EXPECT_EQ(std::tie(t.nprestazioni, t.tot_ticket, t.tot_netto, t.tot_sconto),
                std::tie(u.nprestazioni, u.tot_ticket, u.tot_netto, u.tot_sconto));
    }
  }
}

}  // namespace
}  // namespace flussom
