#include "risultati/risultato_json.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace flussom {
namespace {

using json = nlohmann::json;

RigaReport messaggio(std::string_view testo, std::int64_t riga, Regola regola) {
  RigaReport r;
  r.testo = testo;
  r.riga = riga;
  r.regola = regola;
  return r;
}

RigaReport blocco(std::int64_t numero, std::string_view ricetta, std::int64_t prima, std::int64_t ultima) {
  RigaReport r;
  r.tipo = TipoRigaReport::blocco;
  r.numero = numero;
  r.ricetta = ricetta;
  r.prima_riga = prima;
  r.ultima_riga = ultima;
  return r;
}

// The document of a run whose report got `righe`, written piece by piece.
json documento(const std::vector<RigaReport>& righe, const RisultatoRun& r, std::size_t* pezzi = nullptr) {
  std::string testo;
  std::size_t n = 0;
  ScrittoreJson s("dati/FLM10\xFF.txt", std::chrono::year_month_day{std::chrono::year{2026} / 12 / 7},
                  [&](std::string_view t) {
                    testo.append(t);
                    ++n;
                    return true;
                  });
  for (const RigaReport& riga : righe) s.riga_report(riga);
  EXPECT_TRUE(s.concludi(r));
  if (pezzi) *pezzi = n;
  return json::parse(testo);
}

TEST(ScrittoreJson, BlocksAsTheyCloseEveryMessageInsideItsBlocksLines) {
  RisultatoRun r;
  r.esito = EsitoRun::con_errori;
  r.mese = 10;
  std::size_t pezzi = 0;
  // Two ricette of one number in one block; a wrong length met before the next ricetta's
  // first line closed the block before it; a message that no block closes.
  const json d = documento({messaggio(" Quantit\xE0 errata (0)", 11, Regola::quantita_errata),
                            messaggio(" Ricetta gi\xE0 inserita nel file", 20, Regola::ricetta_duplicata),
                            blocco(1, "190A1", 20, 22),
                            messaggio(" Lunghezza file errata ", 31, Regola::lunghezza_errata),
                            blocco(2, "190A2", 23, 30),
                            messaggio(" Non \xE8 presente la riga 99 ", 0, Regola::riga_99_mancante)},
                           r, &pezzi);
  EXPECT_EQ(pezzi, 4u);  // the opening, one piece a block, the end
  EXPECT_EQ(d["file"], "dati/FLM10\xEF\xBF\xBD.txt");
  EXPECT_EQ(d["errori"][0]["righe"], json::parse(R"({"prima": 11, "ultima": 22})"));
  EXPECT_EQ(d["errori"][0]["messaggi"][0]["testo"], " Quantit\xC3\xA0 errata (0)");
  EXPECT_EQ(d["errori"][0]["messaggi"][1]["campi"], json::parse(R"(["num_ricetta"])"));
  EXPECT_EQ(d["errori"][1]["righe"], json::parse(R"({"prima": 23, "ultima": 31})"));
  EXPECT_EQ(d["messaggi_fuori_blocco"][0]["riga"], nullptr);
  EXPECT_EQ(d["esito"], "errori");
  EXPECT_EQ(d["mese"], 10);
  EXPECT_EQ(d["struttura"], nullptr);
  EXPECT_EQ(d["riepilogo"], nullptr);
}

TEST(ScrittoreJson, ACorrectFileHasEmptyListsAndItsSummaryInCents) {
  RisultatoRun r;
  r.esito = EsitoRun::corretto;
  r.codice_struttura = "123456";
  r.denominazione_struttura = "CITT\xC0";
  r.totali.nricette = 2;
  r.totali.nrec = 5;
  r.totali.nprestazioni = 1003288;
  r.totali.tot_ticket = 0.1 + 0.2;
  r.totali.tot_netto = 10;
  r.totali.tot_sconto = 1.5;
  const json d = documento({}, r);
  EXPECT_EQ(d["errori"], json::array());
  EXPECT_EQ(d["messaggi_fuori_blocco"], json::array());
  EXPECT_EQ(d["struttura"]["denominazione"], "CITT\xC3\x80");
  EXPECT_EQ(d["riepilogo"], json::parse(R"({"ricette": 2, "record": 4, "prestazioni": 1003288,
      "totale_centesimi": 1030, "ticket_centesimi": 30, "netto_centesimi": 1000, "sconto_centesimi": 150,
      "netto_scontato_centesimi": 850})"));
}

}  // namespace
}  // namespace flussom
