// `flussom lotto` end to end: outputs per file identical to single runs, the summary table,
// the exit status, the refusals, the interruption.
#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "support/cartella_temporanea.h"
#include "support/esegui.h"
#include "support/riga_prova.h"

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#endif

namespace flussom {
namespace {

namespace fs = std::filesystem;
using prova::contenuto;
using prova::esegui_flussom;

class Lotto : public ::testing::Test {
 protected:
  Lotto() {
    prova::costruisci_in(app.percorso(), prova::tabelle_base());
    app.scrivi("strutture.DAT", prova::strutture_base());
  }
  // `flussom lotto` with the application folder and the output folder (by default `uscita`).
  prova::Uscita lotto(std::vector<std::string> argomenti, const fs::path& out = {}) {
    argomenti.insert(argomenti.begin(), {"lotto", "--cartella", app.percorso().string(), "--uscita",
                                         (out.empty() ? uscita.percorso() : out).string()});
    return esegui_flussom(argomenti);
  }
  prova::CartellaTemporanea app, dati, uscita;
};

TEST_F(Lotto, ReportsAsInSingleRunsAndTheSummary) {
  prova::CartellaTemporanea altri;
  const auto corretto = dati.scrivi("FLM102026.TXT", prova::ricetta_corretta("190000000000001"));
  dati.scrivi("FLM112026", prova::ricetta_con_errore());
  dati.scrivi("note.csv", "non un file dati");
  altri.scrivi("FLM102026.txt", prova::ricetta_con_errore());
  const fs::path out = uscita / "nuova";
  auto u = lotto({"--processi", "2", dati.percorso().string(), (altri / "FLM102026.txt").string()}, out);
  EXPECT_EQ(u.stato, 1) << u.err;
  EXPECT_FALSE(fs::exists(app / "errori.RPT"));  // the application folder's report untouched

  // Each report byte for byte the one of a single run of the same file; the same name never
  // overwrites.
  const std::pair<fs::path, std::string> casi[] = {{corretto, "FLM102026.TXT"},
                                                   {dati / "FLM112026", "FLM112026"},
                                                   {altri / "FLM102026.txt", "FLM102026.txt_2"}};
  for (const auto& [dato, nome] : casi) {
    SCOPED_TRACE(nome);
    esegui_flussom({"controlla", "--cartella", app.percorso().string(), dato.string()});
    EXPECT_EQ(prova::leggi_file(out / (nome + ".RPT")), app.leggi("errori.RPT"));
    EXPECT_TRUE(fs::exists(out / (nome + ".json")));
  }
  EXPECT_EQ(prova::leggi_file(out / "riepilogo.csv"),
            "\xEF\xBB\xBF"
            "File;Codice struttura;Denominazione struttura;Mese;Esito;Ricette;Record;Prestazioni;"
            "Totale;Ticket;Netto;Sconto;Netto scontato;Blocchi di errori\r\n" +
                corretto.string() +
                ";123456;AMBULATORIO PROVA;10;corretto;1;2;1;20,66;20,66;0,00;1,50;-1,50;0\r\n" +
                (dati / "FLM112026").string() + ";123456;AMBULATORIO PROVA;11;errori;;;;;;;;;1\r\n" +
                (altri / "FLM102026.txt").string() +
                ";123456;AMBULATORIO PROVA;10;errori;;;;;;;;;1\r\n");

  // A file that cannot be checked makes the batch's status 2; all correct, 0.
  u = lotto({corretto.string(), (dati / "manca.txt").string()}, out);
  EXPECT_EQ(u.stato, 2);
  EXPECT_NE(u.err.find("manca.txt: Impossibile leggere il file"), std::string::npos) << u.err;
  EXPECT_EQ(lotto({corretto.string()}, out).stato, 0);
}


TEST_F(Lotto, SummaryShowsOutsideTextsAsTextsInValidUtf8) {
  // A facility name a spreadsheet would take for a formula, a file name with a ";" and one
  // with a byte that is not UTF-8; the negative amount stays a number.
  app.scrivi("strutture.DAT", "\"123456\",\"=SOMMA(1;2) CITT\xC0\",\"26\",\"\",\"\"\r\n");
  const auto a = dati.scrivi("FLM102026;a.txt", prova::ricetta_corretta("190000000000001"));
#ifndef _WIN32
  const auto b = dati.scrivi("FLM102026\xFF.txt", prova::ricetta_con_errore());
#else
  const auto b = dati.scrivi("FLM102026b.txt", prova::ricetta_con_errore());
#endif
  const prova::Uscita u = lotto({dati.percorso().string()});
  EXPECT_EQ(u.stato, 1) << u.err;
  const std::string facility = ";123456;\"'=SOMMA(1;2) CITT\xC3\x80\";";
  const std::string csv = uscita.leggi("riepilogo.csv");
  EXPECT_NE(csv.find("\r\n\"" + a.string() + "\"" + facility +
                     "10;corretto;1;2;1;20,66;20,66;0,00;1,50;-1,50;0\r\n"),
            std::string::npos)
      << csv;
#ifndef _WIN32
  EXPECT_NE(csv.find("\r\n" + dati.percorso().string() + "/FLM102026\xEF\xBF\xBD.txt" + facility +
                     "10;errori;;;;;;;;;1\r\n"),
            std::string::npos)
      << csv;
#endif
  EXPECT_TRUE(fs::exists(uscita / (b.filename().string() + ".RPT")));
}

TEST_F(Lotto, RefusedBeforeAnythingIsCheckedOrWritten) {
  const auto corretto = dati.scrivi("FLM102026.txt", prova::ricetta_corretta("190000000000001"));
  dati.scrivi("FLM112026.txt", prova::ricetta_con_errore());
  uscita.scrivi("riepilogo.csv", "vecchio");
  const auto nell_uscita = uscita.scrivi("FLM102026", prova::ricetta_con_errore());
  const auto sua_json = uscita.scrivi("FLM102026.json", prova::ricetta_con_errore());
  const auto suo_rpt = uscita.scrivi("FLM102026.RPT", prova::ricetta_con_errore());
  const std::string a = app.percorso().string(), u = uscita.percorso().string(), d = dati.percorso().string();
  const std::string processi = "valore non valido per --processi: deve essere un numero da 1 a 256";
  struct Caso {
    std::vector<std::string> argomenti;
    std::string messaggio;
  };
  std::vector<Caso> casi = {
      {{"lotto", "--cartella", a, "--uscita", a, d}, "\xC3\xA8 la cartella dell'applicazione"},
      {{"lotto", "--cartella", a, "--uscita", (app / "." / "..").string() + "/" + app.percorso().filename().string(), d},
       "\xC3\xA8 la cartella dell'applicazione"},
      {{"lotto", "--cartella", a, "--uscita", u, d, ""}, "Un PERCORSO vuoto"},
      // A data file in the output folder whose report or result would be another data file.
      {{"lotto", "--cartella", a, "--uscita", u, nell_uscita.string(), sua_json.string()},
       "FLM102026.json non pu\xC3\xB2 essere scritto: \xC3\xA8 FLM102026.json, che il controllo non deve"},
      {{"lotto", "--cartella", a, "--uscita", u, suo_rpt.string(), nell_uscita.string()},
       "\xC3\xA8 FLM102026.RPT, che il controllo non deve"},
      {{"lotto", "--cartella", a, "--uscita", u, (uscita / "riepilogo.csv").string()},
       "\xC3\xA8 riepilogo.csv, che il controllo non deve"},
      {{"lotto", "--cartella", a, "--uscita", u, "--processi", "0", d}, processi},
      {{"lotto", "--cartella", a, "--uscita", u, "--processi", "257", d}, processi},
      {{"lotto", "--cartella", a, "--uscita", u, "--processi", "x", d}, processi},
  };
#ifndef _WIN32
  // Links at an output's name, to another data file of the batch and to a table.
  fs::create_symlink(dati / "FLM112026.txt", uscita / "FLM102026.txt.RPT");
  casi.push_back({{"lotto", "--cartella", a, "--uscita", u, d}, "\xC3\xA8 FLM112026.txt, che il controllo"});
  fs::create_symlink(app.percorso(), dati / "app");
  casi.push_back({{"lotto", "--cartella", a, "--uscita", (dati / "app").string(), corretto.string()},
                  "\xC3\xA8 la cartella dell'applicazione"});
#endif
  const auto prima = std::tuple(contenuto(app.percorso()), contenuto(dati.percorso()), contenuto(uscita.percorso()));
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.messaggio);
    const prova::Uscita r = esegui_flussom(c.argomenti);
    EXPECT_EQ(r.stato, 2);
    EXPECT_NE(r.err.find(c.messaggio), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(std::tuple(contenuto(app.percorso()), contenuto(dati.percorso()), contenuto(uscita.percorso())),
              prima);
  }
}

#ifndef _WIN32
// Feeds `fifo` with lines without end until the batch ends, and sends it `segnale` once it
// is reading them and, when given, `pronto` exists.
prova::Uscita interrompi(const fs::path& fifo, const std::vector<std::string>& argomenti, int segnale,
                         const fs::path& pronto) {
  std::string righe;
  for (long long n = 0; n < 1000; ++n) righe += prova::ricetta_corretta(std::to_string(190000000000001 + n));
  // A reader of our own too: the batch's reads wait for data, never find the end.
  const int fd = open(fifo.c_str(), O_RDWR | O_NONBLOCK);
  EXPECT_GE(fd, 0);
  prova::FlussomAvviato flussom(argomenti);
  std::size_t dato = 0, inizio = 0;
  bool mandato = false;
  const auto limite = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (!flussom.finito() && std::chrono::steady_clock::now() < limite) {
    // More than a pipe holds has gone: the batch is reading, its handler in place.
    if (!mandato && dato > (1u << 20) && (pronto.empty() || fs::exists(pronto)))
      mandato = kill(flussom.pid(), segnale) == 0;
    const ssize_t n = write(fd, righe.data() + inizio, std::min<std::size_t>(righe.size() - inizio, 1u << 16));
    if (n > 0) {
      dato += static_cast<std::size_t>(n);
      inizio = (inizio + static_cast<std::size_t>(n)) % righe.size();
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  close(fd);
  EXPECT_TRUE(mandato);
  return flussom.attendi();
}

TEST_F(Lotto, InterruptionStopsTheBatchWithoutSummaryOrTemporaries) {
  const fs::path fifo = dati / "FLM102026";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const auto altro = dati.scrivi("FLM112026.txt", prova::ricetta_con_errore());
  const std::string a = app.percorso().string(), u = uscita.percorso().string();
  // Two at a time, the other file done first: its report and result stay. One at a time,
  // the other file never starts, and what the batch before left of it goes.
  const struct {
    int segnale, stato;
    const char* processi;
    const char* detto;
    std::set<std::string> rimasti;
  } casi[] = {
      {SIGINT, 130, "2", "Lotto interrotto: file controllati 1 di 2", {"FLM112026.txt.RPT", "FLM112026.txt.json"}},
      {SIGTERM, 143, "1", "Lotto interrotto: file controllati 0 di 2", {}},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.segnale);
    uscita.scrivi("riepilogo.csv", "vecchio");
    const prova::Uscita r =
        interrompi(fifo, {"lotto", "--cartella", a, "--uscita", u, "--processi", c.processi, fifo.string(), altro.string()},
                   c.segnale, c.rimasti.empty() ? fs::path() : uscita / "FLM112026.txt.json");
    EXPECT_EQ(r.stato, c.stato) << r.err;
    EXPECT_NE(r.err.find(c.detto), std::string::npos) << r.err;
    std::set<std::string> rimasti;
    for (const auto& [nome, dati_file] : contenuto(uscita.percorso())) rimasti.insert(nome);
    EXPECT_EQ(rimasti, c.rimasti);
  }
}
#endif

}  // namespace
}  // namespace flussom
