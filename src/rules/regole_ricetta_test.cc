#include "rules/regole_ricetta.h"
#include "rules/percorso_riga.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/cartella_temporanea.h"

namespace flussom {
namespace {

// The report's events in short: "rule@line" for a message, "#number ricetta first-last"
// for a block.
struct Eventi : OsservatoreReport {
  void riga_report(const RigaReport& r) override {
    if (r.tipo == TipoRigaReport::messaggio)
      testo += std::string(identificatore(r.regola)) + "@" + std::to_string(r.riga) + " ";
    if (r.tipo == TipoRigaReport::blocco)
      testo += "#" + std::to_string(r.numero) + " " + std::string(r.ricetta) + " " +
               std::to_string(r.prima_riga) + "-" + std::to_string(r.ultima_riga) + " ";
  }
  std::string testo;
};

// Drives the ricetta rules over lines given as (num_ricetta, progressivo), the way the run
// does, without the line checks.
struct Assemblaggio {
  Assemblaggio() : tabelle(dir.percorso()), s(report, tabelle, 2026) { report.osserva(&eventi); }

  void riga(const std::string& numero, const std::string& progressivo) {
    ++s.totali.nrighe;
    conta_riga(s);
    std::string l(222, ' ');
    l.replace(122, numero.size(), numero);
    l.replace(138, progressivo.size(), progressivo);
    s.linea = l;
    dividi_riga(l, s.riga);
    s.ricetta.memorizza(s.ricetta.nprest, s.riga);
    percorri_riga(s, precedenti, Verifiche::ricetta);
  }
  void ricetta(const std::string& numero, int servizi) {
    for (int i = 1; i <= servizi; ++i) riga(numero, std::to_string(i));
    riga(numero, "99");
  }
  std::string fine() {
    fine_ricette(s);
    return report.contenuto();
  }

  prova::CartellaTemporanea dir;
  Eventi eventi;
  ReportErrori report;
  Tabelle tabelle;
  StatoRun s;
  IndiceRicette precedenti;
};

std::string blocco(const std::string& n, const std::string& numero) {
  return n + " " + std::string(60, '.') + " Ricetta Nr   " + numero + "\r\n\r\n";
}

// Runs lines written as "R1*11" (ricetta R1 with 11 services and its closing row), "R1.99"
// (one line of R1 with that progressivo) or "|" (a mark in the report), and gives the report.
std::string esegui(const std::string& righe, std::string* eventi = nullptr) {
  Assemblaggio a;
  std::istringstream in(righe);
  for (std::string t; in >> t;) {
    const auto k = t.find_first_of("*.");
    if (t == "|") a.report.scrivi(TipoRigaReport::spaziatura, {"|"});
    else if (t[k] == '*') a.ricetta(t.substr(0, k), std::stoi(t.substr(k + 1)));
    else a.riga(t.substr(0, k), t.substr(k + 1));
  }
  std::string r = a.fine();
  if (eventi) *eventi = a.eventi.testo;
  return r;
}

TEST(RegoleRicetta, ReportOfEachSequence) {
  const std::string dieci = " Superate le dieci prestazioni \r\n";
  const std::string sola_99 = " E'presente solo la riga 99 \r\n";
  const std::string manca_99 = " Non \xE8 presente la riga 99 \r\n";
  // The events say the line of each message (0: the missing closing row concerns no single
  // line) and the first and last line of each block's ricetta.
  const struct Caso { const char* righe; std::string atteso, eventi; } casi[] = {
      {"R1*10", "", ""},
      {"R1*11", dieci + blocco("01", "R1"), "dieci_prestazioni_superate@12 #1 R1 1-12 "},
      {"R1*1 R1.99", sola_99 + blocco("01", "R1"), "solo_riga_99@3 #1 R1 3-3 "},
      {"R1.99", sola_99 + blocco("01", "R1"), "solo_riga_99@1 #1 R1 1-1 "},
      {"R1*11 R2.99", dieci + blocco("01", "R1") + sola_99 + blocco("02", "R2"),
       "dieci_prestazioni_superate@12 #1 R1 1-12 solo_riga_99@13 #2 R2 13-13 "},
      {"R1*11 | R2*1", dieci + "|\r\n" + blocco("01", "R1"), "dieci_prestazioni_superate@12 #1 R1 1-12 "},
      {"R1*2 R2*1 R1*1 R3*1", " Ricetta gi\xE0 inserita nel file\r\n" + blocco("01", "R1"),
       "ricetta_duplicata@6 #1 R1 6-7 "},
      {"*1 *1", "", ""},
      {"R1.1 R1.2 R2.1 R2.99", manca_99 + blocco("01", "R1"),
       "riga_99_mancante@0 #1 R1 1-2 "},
      // The file ends before a closing row: the last ricetta misses it all the same.
      {"", "", ""},
      {"R1.1", manca_99 + blocco("01", "R1"), "riga_99_mancante@0 #1 R1 1-1 "},
      {"R1*1 R2*2 R3.1 R3.2", manca_99 + blocco("01", "R3"), "riga_99_mancante@0 #1 R3 6-7 "},
      {"R1*11 R2.1", dieci + blocco("01", "R1") + manca_99 + blocco("02", "R2"),
       "dieci_prestazioni_superate@12 #1 R1 1-12 riga_99_mancante@0 #2 R2 13-13 "},
      {"R1*1 R1.1 R1.2", " Ricetta gi\xE0 inserita nel file\r\n" + manca_99 + blocco("01", "R1"),
       "ricetta_duplicata@3 riga_99_mancante@0 #1 R1 3-4 "},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.righe);
    std::string eventi;
    EXPECT_EQ(esegui(c.righe, &eventi), c.atteso);
    EXPECT_EQ(eventi, c.eventi);
  }
}

TEST(RegoleRicetta, LinesPastTheTwentiethReadTheirOwnValues) {
  Assemblaggio a;
  for (int i = 1; i <= 25; ++i) {
    a.riga("R1", std::to_string(i));
    EXPECT_EQ(a.s.slot_corrente().quantita, "0");
  }
  EXPECT_EQ(a.s.ricetta.nprest, 25);
  a.riga("R1", "99");
  EXPECT_EQ(a.s.ricetta.nprest, 0);
  EXPECT_EQ(a.s.ricetta.slot(21).quantita, "");
}

}  // namespace
}  // namespace flussom
