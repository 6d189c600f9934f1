#include "run/importa.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <sstream>

#include "base/piattaforma.h"
#include "support/cartella_temporanea.h"
#include "support/riga_prova.h"

namespace flussom {
namespace {

using namespace std::chrono;

// A front end that records what the run tells and answers No.
class InterfacciaProva : public EventiRun {
 public:
  std::string stato;
  std::string struttura;
  std::vector<std::string> messaggi, domande;
  bool azzerato = false;  // the report was announced as recreated
  std::int64_t massimo = -1, valore = 0;
  int occupato = 0;

  void riga_stato(std::string_view r) override { stato += "\r\n" + std::string(r); }
  void struttura_trovata(std::string_view n) override { struttura = n; }
  void intervallo_progresso(std::int64_t, std::int64_t m) override { massimo = m; }
  void progresso(std::int64_t v) override { valore = v; }
  void lettura_iniziata() override { ++occupato; }
  void lettura_finita() override { --occupato; }
  void report_azzerato() override { azzerato = true; }
  bool domanda(std::string_view t) override {
    domande.emplace_back(t);
    return false;
  }
  void messaggio(std::string_view t) override { messaggi.emplace_back(t); }
};

class Importa : public ::testing::Test {
 protected:
  Importa() {
    prova::costruisci_in(dir.percorso(), prova::tabelle_base());
    dir.scrivi("strutture.DAT", prova::strutture_base());
  }
  RisultatoRun esegui(const std::string& nome, const std::string& contenuto) {
    return esegui(dir.scrivi(nome, contenuto));
  }
  RisultatoRun esegui(const std::filesystem::path& p) {
    ui.stato = "Apertura File : " + p.string();
    return importa(ParametriRun{p, dir.percorso()}, ui, orologio);
  }
  std::string report() const { return dir.leggi("errori.RPT"); }
  std::vector<std::string> righe_stato() const {
    std::vector<std::string> r;
    std::istringstream in(ui.stato);
    for (std::string l; std::getline(in, l);) r.push_back(l.substr(0, l.find('\r')));
    return r;
  }
  static std::string intestazione(const std::string& struttura, const std::string& nome,
                                  const std::string& mese) {
    return "Struttura : " + struttura + "\r\n\r\nFile controllato :" + nome + "    " + mese +
           "\r\n\r\nElenco errori riscontrati \r\n\r\n";
  }

  const std::string una = prova::ricetta_corretta("190000000000001");
  prova::CartellaTemporanea dir;
  InterfacciaProva ui;
  OrologioFisso orologio{year{2026} / 12 / 6};
};

TEST_F(Importa, CorrectFileGivesTheVerdictAndTheSummary) {
  auto r = esegui("FLM102026.txt", prova::ricetta_corretta("190000000000001", 2) +
                                       prova::ricetta_corretta("190000000000002", 3) +
                                       prova::ricetta_corretta("190000000000003", 1));
  EXPECT_EQ(report(), intestazione("AMBULATORIO PROVA", "FLM102026.txt", "OTTOBRE   "));
  EXPECT_EQ(r.esito, EsitoRun::corretto);
  EXPECT_FALSE(r.errori_nel_report);
  EXPECT_EQ(righe_stato().size(), 8u) << ui.stato;
  EXPECT_EQ(ui.struttura, "AMBULATORIO PROVA");
  EXPECT_TRUE(ui.azzerato);
  EXPECT_EQ(ui.massimo, 9);  // the size in lines of 222 bytes: 2016 / 222
  EXPECT_EQ(ui.valore, 9);
  EXPECT_EQ(ui.occupato, 0);
  importa(ParametriRun{dir / "FLM102026.txt", dir.percorso()}, ui, orologio);
  EXPECT_EQ(righe_stato().size(), 15u);
}

TEST_F(Importa, MonthOfTheFileName) {
  for (const char* nome : {"FLM00.txt", "FLM13.txt", "FLMAB.txt", "F.txt", "FLM+.txt", "FLM"}) {
    SCOPED_TRACE(nome);
    ui.messaggi.clear();
    auto r = esegui(nome, una);
    EXPECT_EQ(r.esito, EsitoRun::mese_non_definito);
    EXPECT_TRUE(r.errori_nel_report);
    EXPECT_EQ(report(), "nel file il mese non \xE8 definito \r\n");
    EXPECT_EQ(ui.messaggi, std::vector<std::string>{"NEL FILE IL MESE NON E'DEFINITO"});
  }
  for (auto [nome, mese] : {std::pair{"FLM01.txt", "GENNAIO   "}, {"FLM12.txt", "DICEMBRE  "},
                            {"FLM1a.txt", ""}, {"FLM+1.txt", "GENNAIO   "}, {"FLM 2.txt", "FEBBRAIO  "},
                            {"FLM-1.txt", ""}, {"FLM1..txt", ""}}) {
    SCOPED_TRACE(nome);
    esegui(nome, una);
    EXPECT_EQ(report(), intestazione("AMBULATORIO PROVA", nome, mese));
  }
}

TEST_F(Importa, EmptyFileWithTheFacilityUnknownAndNoFileAtAll) {
  auto r = esegui("FLM05.txt", "");
  EXPECT_EQ(ui.domande, std::vector<std::string>{"STRUTTURA NON TROVATA! Vuole inserirla "});
  EXPECT_EQ(r.esito, EsitoRun::corretto);
  EXPECT_EQ(report(), intestazione("", "FLM05.txt", "MAGGIO    "));
  auto s = righe_stato();
  EXPECT_EQ(std::vector<std::string>(s.begin() + 2, s.end()),
            (std::vector<std::string>{"Ricette lette    nr ", "Records letti    nr ",
                                      "Prestazioni      nr ", "Totale         \x80  ,00",
                                      "Totale Ticket  \x80  ,00  Totale Netto  \x80 ,00",
                                      "Totale Sconto  \x80  ,00  Totale Netto ASP  \x80 ,00"}));
  // No file chosen: no question, and the report is there, emptied.
  ui = InterfacciaProva();
  EXPECT_EQ(importa(ParametriRun{{}, dir.percorso()}, ui, orologio).esito, EsitoRun::nessun_file);
  EXPECT_TRUE(ui.azzerato && ui.domande.empty());
  EXPECT_TRUE(report().empty() && std::filesystem::exists(dir / "errori.RPT"));
}

TEST_F(Importa, UnknownFacilityOnTheFirstLineOrALaterOne) {
  dir.scrivi("strutture.DAT", "");
  esegui("FLM05.txt", una);
  EXPECT_EQ(report(), intestazione("", "FLM05.txt", "MAGGIO    "));  // and nothing after it

  ui = InterfacciaProva();
  dir.scrivi("strutture.DAT", prova::strutture_base());
  prova::RigaProva altra;
  altra.cod_struttura = "999999";
  altra.num_ricetta = "190000000000009";
  const auto r = esegui("FLM05.txt", una + altra.linea() + "\r\n");
  EXPECT_EQ(r.esito, EsitoRun::struttura_non_trovata);
  EXPECT_EQ(ui.messaggi, std::vector<std::string>{"STRUTTURA NON TROVATA"});
}

TEST_F(Importa, WrongLengthBeforeAnyErrorEndsTheRun) {
  // The first line is one character short; it still names the facility.
  auto r = esegui("FLM05.txt", prova::RigaProva().linea().substr(0, 221) + "\r\n" + una);
  EXPECT_EQ(r.esito, EsitoRun::lunghezza_errata);
  EXPECT_FALSE(r.errori_nel_report);
  EXPECT_EQ(report(), intestazione("AMBULATORIO PROVA", "FLM05.txt", "MAGGIO    ") +
                          " Lunghezza file errata \r\n");
  auto s = righe_stato();
  EXPECT_EQ(s, (std::vector<std::string>{s[0], "Lunghezza file ERRATA"}));
  EXPECT_EQ(ui.occupato, 0);
}

TEST_F(Importa, InterruptedRunLeavesNoReportOfItsOwn) {
  std::string dati;
  for (long long n = 0; n < 3000; ++n) dati += prova::ricetta_corretta(std::to_string(190000000000001 + n));
  const auto file = dir.scrivi("FLM102026.txt", dati);
  const auto report = dir.scrivi("FLM102026.RPT", "vecchio");
  // Stopped before the run, or at line 100 of 6000 (it stops at the next question, line
  // 4096): no verdict, the report at its name untouched, no temporary beside it.
  const struct {
    std::int64_t alla_riga;  // -1: never
    EsitoRun esito;
    std::int64_t ultima_riga;
  } casi[] = {{0, EsitoRun::interrotto, 0}, {100, EsitoRun::interrotto, 4096}, {-1, EsitoRun::corretto, 6000}};
  for (const auto& c : casi) {
    SCOPED_TRACE(c.alla_riga);
    std::atomic<bool> basta{c.alla_riga == 0};
    struct Interrompe : InterfacciaProva {
      std::atomic<bool>* basta;
      std::int64_t alla_riga;
      void progresso(std::int64_t v) override {
        valore = v;
        if (v == alla_riga) *basta = true;
      }
    } ui;
    ui.basta = &basta;
    ui.alla_riga = c.alla_riga;
    const RisultatoRun r = importa(ParametriRun{file, dir.percorso(), report, &basta}, ui, orologio);
    EXPECT_EQ(r.esito, c.esito);
    EXPECT_EQ(ui.valore, c.ultima_riga);
    EXPECT_EQ(ui.occupato, 0);
    EXPECT_EQ(dir.leggi("FLM102026.RPT") == "vecchio", c.esito == EsitoRun::interrotto);
    for (const auto& e : std::filesystem::directory_iterator(dir.percorso()))
      EXPECT_NE(e.path().extension(), ".tmp") << e.path();
  }
}

#ifndef _WIN32
// No verdict, and the reason: the folder's lock cannot be taken (a folder at its name); the
// data file's reading fails (the process's own memory reads as an error from its start); the
// report cannot be created (a folder in its place) or its writes fail (a full disk; here a
// limit on the size of files) at its close or on the way (past 64 KB), in place or whole. A
// report in place keeps what was written; one written whole leaves the old one, no temporary.
TEST_F(Importa, ALockAReadOrAWriteThatFailsGivesNoVerdict) {
  namespace fs = std::filesystem;
  std::string errori;
  for (int i = 0; i < 2000; ++i) errori += prova::ricetta_con_errore();
  const fs::path grande = dir.scrivi("FLM07.txt", errori), piccolo = dir.scrivi("FLM05.txt", una),
                 memoria = dir / "FLM06.txt", intero = dir / "FLM.RPT";
  fs::create_symlink("/proc/self/mem", memoria);
  fs::create_directory(dir / "errori.RPT.lck");
  const std::string rpt = "Impossibile scrivere il report ", in_posto = rpt + (dir / "errori.RPT").string() + " : ",
                    a_parte = rpt + intero.string() + " : ", pieno = testo_errno(EFBIG);
  const struct { fs::path file, report; unsigned long long limite; std::string messaggio; } casi[] = {
      {piccolo, {}, ~0ULL, in_posto + "blocco " + (dir / "errori.RPT.lck").string() + " : \xE8 una cartella"},
      {memoria, {}, ~0ULL, "Impossibile leggere il file " + memoria.string() + " : " + testo_errno(EIO)},
      {grande, dir.percorso(), ~0ULL, rpt + dir.percorso().string() + " : \xE8 una cartella"},
      {piccolo, intero, 4, a_parte + pieno}, {grande, intero, 4096, a_parte + pieno},
      {grande, {}, 4096, in_posto + pieno}};
  for (const auto& c : casi) {
    dir.scrivi("FLM.RPT", "vecchio");
    ui = InterfacciaProva();
    {
      prova::LimiteFile limite(c.limite);
      EXPECT_EQ(importa(ParametriRun{c.file, dir.percorso(), c.report}, ui, orologio).esito,
                c.file == memoria ? EsitoRun::file_non_leggibile : EsitoRun::report_non_scrivibile);
    }
    fs::remove(dir / "errori.RPT.lck");
    EXPECT_EQ(ui.messaggi, std::vector<std::string>{c.messaggio});
    EXPECT_EQ(ui.stato + dir.leggi("FLM.RPT"), "vecchio");  // no status line; the old whole report
    for (const auto& e : fs::directory_iterator(dir.percorso())) EXPECT_NE(e.path().extension(), ".tmp");
  }
  EXPECT_TRUE(report().starts_with(intestazione("AMBULATORIO PROVA", "FLM07.txt", "LUGLIO    ")));
}
#endif

}  // namespace
}  // namespace flussom
