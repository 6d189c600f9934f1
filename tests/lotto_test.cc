// `flussom lotto` end to end: outputs per file identical to single runs, the summary table,
// the exit status.
#include <gtest/gtest.h>

#include "support/cartella_temporanea.h"
#include "support/esegui.h"
#include "support/riga_prova.h"

namespace flussom {
namespace {

namespace fs = std::filesystem;
using prova::esegui_flussom;

TEST(Lotto, ReportsAsInSingleRunsAndTheSummary) {
  prova::CartellaTemporanea app, dati, altri, uscita;
  prova::costruisci_in(app.percorso(), prova::tabelle_base());
  app.scrivi("strutture.DAT", prova::strutture_base());
  const auto corretto = dati.scrivi("FLM102026.TXT", prova::ricetta_corretta("190000000000001"));
  dati.scrivi("FLM112026", prova::ricetta_con_errore());
  dati.scrivi("note.csv", "non un file dati");
  altri.scrivi("FLM102026.txt", prova::ricetta_con_errore());
  const fs::path out = uscita / "nuova";
  const auto lotto = [&](std::vector<std::string> file) {
    file.insert(file.begin(), {"lotto", "--cartella", app.percorso().string(), "--uscita",
                               out.string(), "--processi", "2"});
    return esegui_flussom(file);
  };
  auto u = lotto({dati.percorso().string(), (altri / "FLM102026.txt").string()});
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
  u = lotto({corretto.string(), (dati / "manca.txt").string()});
  EXPECT_EQ(u.stato, 2);
  EXPECT_NE(u.err.find("manca.txt: Impossibile leggere il file"), std::string::npos) << u.err;
  EXPECT_EQ(lotto({corretto.string()}).stato, 0);
}

}  // namespace
}  // namespace flussom
