// Where a run's outputs may go, end to end: a JSON result (or a CSV of errors) is written
// whole through a temporary of its own or not at all, never in the place of the run's own files, never
// through a link planted beside it; two runs never share one folder's report.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>

#include "base/file_sicuro.h"
#include "run/importa.h"
#include "support/cartella_temporanea.h"
#include "support/esegui.h"
#include "support/riga_prova.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace flussom {
namespace {

namespace fs = std::filesystem;
using prova::contenuto;
using prova::esegui_flussom;

class Uscite : public ::testing::Test {
 protected:
  Uscite() {
    prova::costruisci_in(app.percorso(), prova::tabelle_base());
    app.scrivi("strutture.DAT", prova::strutture_base());
    file = dati.scrivi("FLM102026.txt", prova::ricetta_con_errore());
  }
  prova::Uscita controlla(const std::string& json, const char* opzione = "--json") {
    return esegui_flussom({"controlla", opzione, json, "--cartella", app.percorso().string(), file.string()});
  }
  prova::CartellaTemporanea app, dati;
  fs::path file;
};

TEST_F(Uscite, JsonOrCsvRefusedInThePlaceOfTheRunsOwnFilesOrOfWhatIsNotAFile) {
  struct Caso {
    const char* nome;
    std::function<fs::path()> prepara;  // makes the target, gives its name
    const char* motivo;
  };
  std::vector<Caso> casi = {
      {"the data file", [&] { return file; }, "FLM102026.txt, che il controllo"},
      {"the report, not yet there", [&] { return app / "errori.RPT"; }, "errori.RPT, che"},
      {"a table", [&] { return app / "strutture.DAT"; }, "strutture.DAT, che"},
      {"a table that is missing", [&] {
         fs::remove(app / "TERA001.DAT");
         return app / "TERA001.DAT";
       }, "TERA001.DAT, che"},
      {"a folder", [&] { return dati.percorso(); }, "\xC3\xA8 una cartella"},
  };
#ifndef _WIN32
  casi.push_back({"a link to the report not yet there", [&] {
                    fs::create_symlink(app / "errori.RPT", dati / "r.json");
                    return dati / "r.json";
                  }, "errori.RPT, che"});
  casi.push_back({"a link to a table", [&] {
                    fs::create_symlink(app / "NOESE.DAT", dati / "n.json");
                    return dati / "n.json";
                  }, "NOESE.DAT, che"});
  casi.push_back({"a FIFO", [&] {
                    mkfifo((dati / "tubo").c_str(), 0600);
                    return dati / "tubo";
                  }, "non \xC3\xA8 un file regolare"});
#endif
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    const fs::path bersaglio = c.prepara();
    const auto app_prima = contenuto(app.percorso()), dati_prima = contenuto(dati.percorso());
    for (const char* opzione : {"--json", "--errori-csv"}) {
      const prova::Uscita u = controlla(bersaglio.string(), opzione);
      EXPECT_EQ(u.stato, 2);
      EXPECT_NE(u.err.find(c.motivo), std::string::npos) << u.err;
      EXPECT_NE(u.err.find("Nessun controllo eseguito"), std::string::npos) << u.err;
      EXPECT_EQ(u.out, "");
      EXPECT_EQ(contenuto(app.percorso()), app_prima);
      EXPECT_EQ(contenuto(dati.percorso()), dati_prima);
    }
  }
  // Nor may the two results share a file, or both go to standard output.
  const auto app_prima = contenuto(app.percorso()), dati_prima = contenuto(dati.percorso());
  for (const std::string& uno : {(dati / "esito").string(), std::string("-")}) {
    const prova::Uscita u = esegui_flussom(
        {"controlla", "--json", uno, "--errori-csv", uno, "--cartella", app.percorso().string(), file.string()});
    EXPECT_EQ(u.stato, 2);
    EXPECT_NE(u.err.find(uno == "-" ? "entrambi sullo standard output" : "esito, che il controllo"), std::string::npos)
        << u.err;
    EXPECT_EQ(contenuto(app.percorso()), app_prima);
    EXPECT_EQ(contenuto(dati.percorso()), dati_prima);
  }
}

TEST_F(Uscite, JsonWrittenWholeThroughATemporaryOfItsOwn) {
  // What stands at the old predictable temporary names is someone else's: left alone.
  const fs::path json = dati / "esito.json";
  dati.scrivi("esito.json.tmp", "dati di qualcuno");
  prova::scrivi_file(json, "vecchio");
#ifndef _WIN32
  const fs::path altrui = app.scrivi("altrui", "non toccare");
  fs::create_symlink(altrui, dati / ".esito.json.tmp");
#endif
  prova::Uscita u = controlla(json.string());
  EXPECT_EQ(u.stato, 1) << u.err;
  const std::string scritto = prova::leggi_file(json);
  EXPECT_NE(scritto.find("\"esito\": \"errori\""), std::string::npos) << scritto;
  EXPECT_EQ(dati.leggi("esito.json.tmp"), "dati di qualcuno");
#ifndef _WIN32
  EXPECT_EQ(prova::leggi_file(altrui), "non toccare");
  // A link to a regular file: the file it leads to gets the result, the link stays.
  const fs::path vero = dati / "vero.json";
  prova::scrivi_file(vero, "");
  fs::create_symlink(vero, dati / "link.json");
  EXPECT_EQ(controlla((dati / "link.json").string()).stato, 1);
  EXPECT_TRUE(fs::is_symlink(dati / "link.json"));
  EXPECT_EQ(prova::leggi_file(vero), scritto);
#endif
  // No temporary is left behind, and the report is the run's.
  std::string nomi;
  for (const auto& voce : contenuto(dati.percorso())) nomi += voce.first + " ";
#ifndef _WIN32
  EXPECT_EQ(nomi, ".esito.json.tmp FLM102026.txt esito.json esito.json.tmp link.json vero.json ");
#else
  EXPECT_EQ(nomi, "FLM102026.txt esito.json esito.json.tmp ");
#endif
  EXPECT_NE(app.leggi("errori.RPT").find("Quantit"), std::string::npos);

  // "-": the document on standard output, the status text on standard error.
  u = controlla("-");
  EXPECT_EQ(u.stato, 1);
  EXPECT_EQ(u.out, scritto);
  EXPECT_NE(u.err.find("Il file contiene ERRORI rilevanti"), std::string::npos) << u.err;
  // So the CSV of errors.
  u = controlla("-", "--errori-csv");
  EXPECT_EQ(u.stato, 1);
  EXPECT_EQ(u.out, "\xEF\xBB\xBF" "Blocco;Ricetta;Riga;Regola;Campi;Testo\r\n"
                   "1;190000000000001;1;quantita_errata;Quantit\xC3\xA0;Quantit\xC3\xA0 errata (0)\r\n");
  EXPECT_NE(u.err.find("Il file contiene ERRORI rilevanti"), std::string::npos) << u.err;
}

TEST_F(Uscite, ASecondRunWhileTheFirstHoldsTheFolderTouchesNothing) {
  ASSERT_EQ(controlla("-").stato, 1);
  const std::string report = app.leggi("errori.RPT");
  {
    // Another run holds the folder's report.
    bool occupato = false;
    std::string errore;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> blocco(
        prendi_blocco(file_blocco_report(app.percorso()), occupato, errore), &std::fclose);
    ASSERT_TRUE(blocco) << errore;
    const auto prima = contenuto(app.percorso());
    const prova::Uscita u = esegui_flussom({"controlla", "--cartella", app.percorso().string(), file.string()});
    EXPECT_EQ(u.stato, 2);
    EXPECT_EQ(u.err, "Un altro controllo \xC3\xA8 in corso nella cartella " + app.percorso().string() +
                         ": riprovare al termine\n");
    EXPECT_EQ(u.out.find("IL FILE"), std::string::npos) << u.out;
    EXPECT_EQ(contenuto(app.percorso()), prima);
  }
  EXPECT_EQ(controlla("-").stato, 1);
  EXPECT_EQ(app.leggi("errori.RPT"), report);
#ifndef _WIN32
  // Something planted at the lock's name is never written through, and never taken for a lock.
  const fs::path blocco = file_blocco_report(app.percorso());
  for (const auto& pianta : std::vector<std::function<void()>>{
           [&] { fs::create_symlink(dati / "altrui", blocco); }, [&] { mkfifo(blocco.c_str(), 0600); },
           [&] { fs::create_directory(blocco); }}) {
    fs::remove(blocco);
    pianta();
    const prova::Uscita u = esegui_flussom({"controlla", "--cartella", app.percorso().string(), file.string()});
    EXPECT_EQ(u.stato, 2);
    EXPECT_NE(u.err.find("Impossibile scrivere il report " + (app / "errori.RPT").string() + " : blocco " +
                         blocco.string() + " : "),
              std::string::npos)
        << u.err;
    EXPECT_EQ(app.leggi("errori.RPT"), report);
    EXPECT_FALSE(fs::exists(dati / "altrui"));
  }
#endif
}

}  // namespace
}  // namespace flussom
