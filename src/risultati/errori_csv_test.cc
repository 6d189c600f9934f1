#include "risultati/errori_csv.h"

#include <gtest/gtest.h>

#include <vector>

namespace flussom {
namespace {

// Two blocks and a message that no block closes, as a run tells them.
const std::vector<RigaReport> righe = {
    {.testo = " Quantit\xE0 errata (0)          ", .riga = 11, .regola = Regola::quantita_errata},
    {.testo = " Ricetta gi\xE0 inserita nel file", .riga = 20, .regola = Regola::ricetta_duplicata},
    {.tipo = TipoRigaReport::blocco, .numero = 1, .ricetta = "190A1", .prima_riga = 20, .ultima_riga = 22},
    {.tipo = TipoRigaReport::spaziatura},
    {.testo = " Non \xE8 presente la riga 99 ", .regola = Regola::riga_99_mancante},
    {.testo = " Importo \x80 9;99 errato", .riga = 31, .regola = Regola::importo_errato},
    {.tipo = TipoRigaReport::blocco, .numero = 2, .ricetta = "-190A2", .prima_riga = 23, .ultima_riga = 31},
    {.testo = " Lunghezza file errata ", .riga = 32, .regola = Regola::lunghezza_errata},
};

const std::string atteso =
    "\xEF\xBB\xBF"
    "Blocco;Ricetta;Riga;Regola;Campi;Testo\r\n"
    "1;190A1;11;quantita_errata;Quantit\xC3\xA0;Quantit\xC3\xA0 errata (0)\r\n"
    "1;190A1;20;ricetta_duplicata;Numero ricetta;Ricetta gi\xC3\xA0 inserita nel file\r\n"
    "2;'-190A2;;riga_99_mancante;;Non \xC3\xA8 presente la riga 99\r\n"
    "2;'-190A2;31;importo_errato;Codice prestazione, Quantit\xC3\xA0, Importo;\"Importo \xE2\x82\xAC 9;99 errato\"\r\n"
    ";;32;lunghezza_errata;;Lunghezza file errata\r\n";

// The table as the run goes (header, a piece a block, the rest at the end) and from the
// blocks a browser gathered: the same bytes.
TEST(ErroriCsv, OneRowPerMessageBlockByBlockTheSameFromGatheredBlocks) {
  std::vector<std::string> pezzi;
  const auto uscita = [&](std::string_view t) {
    pezzi.emplace_back(t);
    return true;
  };
  ScrittoreErroriCsv s(uscita);
  for (const RigaReport& r : righe) s.riga_report(r);
  EXPECT_EQ(pezzi.size(), 3u);
  EXPECT_TRUE(s.concludi());
  std::string scritto;
  for (const std::string& p : pezzi) scritto += p;
  EXPECT_EQ(scritto, atteso);

  RaccoltaReport raccolta;
  for (const RigaReport& r : righe) raccolta.riga_report(r);
  pezzi.clear();
  ScrittoreErroriCsv dai_blocchi(uscita);
  for (const BloccoReport& b : raccolta.blocchi()) dai_blocchi.scrivi_blocco(b);
  dai_blocchi.scrivi_blocco({0, {}, 32, 32, raccolta.fuori_blocco()});
  EXPECT_TRUE(dai_blocchi.concludi());
  scritto.clear();
  for (const std::string& p : pezzi) scritto += p;
  EXPECT_EQ(scritto, atteso);

  // A piece that could not be written fails the table, and nothing more is tried.
  std::size_t tentativi = 0;
  ScrittoreErroriCsv pieno([&](std::string_view) { return ++tentativi > 1; });
  for (const RigaReport& r : righe) pieno.riga_report(r);
  EXPECT_FALSE(pieno.concludi());
  EXPECT_EQ(tentativi, 1u);
}

}  // namespace
}  // namespace flussom
