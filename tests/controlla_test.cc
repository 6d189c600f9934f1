// The `flussom` binary end to end: what the terminal shows, exit statuses, registration.
#include <gtest/gtest.h>

#include <cstdlib>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "support/cartella_temporanea.h"
#include "support/esegui.h"
#include "support/riga_prova.h"

namespace flussom {
namespace {

using prova::esegui_flussom;

class Controlla : public ::testing::Test {
 protected:
  Controlla() {
    prova::costruisci_in(dir.percorso(), prova::tabelle_base());
    dir.scrivi("strutture.DAT", prova::strutture_base());
  }
  prova::Uscita controlla(const std::string& nome, const std::string& dati, const std::string& ingresso = "") {
    file = dir.scrivi(nome, dati).string();
    return esegui_flussom({"controlla", "--cartella", dir.percorso().string(), file}, ingresso);
  }
  prova::CartellaTemporanea dir;
  std::string file;
};

TEST_F(Controlla, TheStatusTextInUtf8AndNoQuestionWithoutATerminal) {
  // The question to register an unknown facility is answered No, whatever standard input holds.
  struct Caso {
    std::string nome, strutture;
    int stato;
    std::string dopo_apertura, err;
  };
  const Caso casi[] = {
      {"FLM102026.txt", prova::strutture_base(), 0,
       "IL FILE E' CORRETTO\n"
       "Ricette lette    nr 1\n"
       "Records letti    nr 2\n"
       "Prestazioni      nr 1\n"
       "Totale         \u20AC  20,66\n"
       "Totale Ticket  \u20AC  20,66  Totale Netto  \u20AC ,00\n"
       "Totale Sconto  \u20AC  1,50  Totale Netto ASP  \u20AC -1,50\n",
       ""},
      {"FLM13.txt", prova::strutture_base(), 1, "", "NEL FILE IL MESE NON E'DEFINITO\n"},
      {"FLM01.txt", "", 1, "",
       "STRUTTURA NON TROVATA! Vuole inserirla (risposta: No)\nSTRUTTURA NON TROVATA\n"},
  };
  for (const auto& c : casi) {
    dir.scrivi("strutture.DAT", c.strutture);
    auto u = controlla(c.nome, prova::ricetta_corretta("190000000000001"), "s\n");
    EXPECT_EQ(u.stato, c.stato);
    EXPECT_EQ(u.err, c.err);
    EXPECT_EQ(u.out, "Apertura File : " + file + "\n" + c.dopo_apertura);
    EXPECT_EQ(dir.leggi("strutture.DAT"), c.strutture);  // nothing registered
  }
}

TEST_F(Controlla, CommandLineMistakesAreToldInItalian) {
  // Every mistake: exit 2, an Italian message naming what is wrong, the report untouched.
  dir.scrivi("errori.RPT", "precedente");
  const std::string c = dir.percorso().string();
  const std::pair<std::vector<std::string>, std::string> casi[] = {
      {{"controlla", "--cartella", c, ""}, "Nessun file dati indicato: nessun controllo eseguito\n"},
      {{"controlla", "--cartella", "", "FLM01.txt"}, "flussom: valore non valido per --cartella: non pu\xC3\xB2 essere vuota\n"},
      {{"registra", "--cartella", "", "1", "NOME", "08"}, "flussom: valore non valido per --cartella: non pu\xC3\xB2 essere vuota\n"},
      {{"controlla"}, "flussom: manca l'argomento obbligatorio FILE\n"},
      {{"controlla", "--cartella"}, "flussom: manca il valore di --cartella\n"},
      {{"controlla", "a", "b"}, "flussom: argomenti non previsti: b\n"},
      {{"controlla", "--prova", "a"}, "flussom: argomenti non previsti: --prova\n"},
      {{"sconosciuto"}, "flussom: manca il comando o non \xC3\xA8 tra quelli previsti\n"},
      {{}, "flussom: manca il comando o non \xC3\xA8 tra quelli previsti\n"},
      {{"registra", "1"}, "flussom: manca l'argomento obbligatorio DENOMINAZIONE\n"},
      {{"controlla", "a", "\x1b[2J"}, "flussom: argomenti non previsti: \\x1b[2J\n"},
  };
  for (const auto& [args, messaggio] : casi) {
    const auto u = esegui_flussom(args);
    EXPECT_EQ(u.stato, 2) << messaggio;
    EXPECT_EQ(u.err.substr(0, u.err.find("Usare flussom")), messaggio);
    EXPECT_EQ(u.out, "");
  }
  EXPECT_EQ(dir.leggi("errori.RPT"), "precedente");
}

#ifndef _WIN32  // no control characters in Windows file names
TEST_F(Controlla, ControlCharactersOfFileNamesAreEscapedOnTheTerminalOnly) {
  // The name, as the status shows it, as the run's messages show it (in Windows-1252 on
  // the way, where a character it lacks becomes "?").
  const std::string nomi[][3] = {
      {"FLM10\n2026.txt", "FLM10\\n2026.txt", "FLM10\\n2026.txt"},
      {"FLM10\x1b[31m.txt", "FLM10\\x1b[31m.txt", "FLM10\\x1b[31m.txt"},
      {"FLM10\r\t\x7f.txt", "FLM10\\r\\t\\x7f.txt", "FLM10\\r\\t\\x7f.txt"},
      {"FLM10\xC2\x9b" "31m.txt", "FLM10\\u009b31m.txt", "FLM10?31m.txt"},  // C1 CSI in UTF-8
      {"FLM10\x9b" "31m.txt", "FLM10\\x9b31m.txt", "FLM10?31m.txt"},         // not UTF-8
      {"FLM10citt\xC3\xA0.txt", "FLM10citt\xC3\xA0.txt", "FLM10citt\xC3\xA0.txt"},
  };
  for (const auto& [nome, mostrato, nel_messaggio] : nomi) {
    auto u = controlla(nome, prova::ricetta_corretta("190000000000001"));
    EXPECT_EQ(u.stato, 0) << mostrato;
    EXPECT_EQ(u.out.substr(0, u.out.find('\n') + 1), "Apertura File : " + dir.percorso().string() + "/" + mostrato + "\n");
    EXPECT_NE(dir.leggi("errori.RPT").find("File controllato :" + nome.substr(0, 5)), std::string::npos);
    // Messages on standard error too.
    std::filesystem::remove(file);
    u = esegui_flussom({"controlla", "--cartella", dir.percorso().string(), file});
    EXPECT_EQ(u.stato, 2);
    EXPECT_EQ(u.err.find_first_of("\r\x1b\x7f"), std::string::npos) << u.err;
    EXPECT_NE(u.err.find(nel_messaggio), std::string::npos) << u.err;
  }
  // The report keeps the bytes of the name.
  controlla("FLM10\x1b[31m.txt", prova::ricetta_corretta("190000000000001"));
  EXPECT_NE(dir.leggi("errori.RPT").find("File controllato :FLM10\x1b[31m.txt"), std::string::npos);
}
#endif

#ifndef _WIN32  // /dev/full
TEST_F(Controlla, AVerdictThatCannotBePrintedIsNoVerdict) {
  prova::RigaProva r;
  r.quantita = "000";
  const std::string con_errori = r.linea() + "\r\n" + r.chiusura("0020,66", "").linea() + "\r\n",
                    esito = "Impossibile scrivere l'esito del controllo sullo standard output: ",
                    uscita = "flussom: impossibile scrivere sullo standard output: ";
  const std::pair<std::string, std::string> casi[] = {
      {"controlla --cartella . " +
           dir.scrivi("FLM10.txt", prova::ricetta_corretta("190000000000001")).string(),
       esito},
      {"controlla --cartella . " + dir.scrivi("FLM11.txt", con_errori).string(), esito},
      {"--help", uscita}};
  for (const auto& [argomenti, err] : casi) {
    const std::string cmd = "cd '" + dir.percorso().string() + "' && '" FLUSSOM_BIN "' " +
                            argomenti + " </dev/null >/dev/full 2>err";
    EXPECT_EQ(WEXITSTATUS(std::system(cmd.c_str())), 2) << argomenti;
    EXPECT_EQ(dir.leggi("err"), err + "No space left on device\n");
  }
}
#endif

TEST_F(Controlla, HelpIsInItalian) {
  for (auto args : {std::vector<std::string>{"--help"}, {"controlla", "--help"}, {"registra", "--help"},
                    {"tabelle", "--help"}, {"tabelle", "costruisci", "--help"}}) {
    auto u = esegui_flussom(args);
    EXPECT_EQ(u.stato, 0);
    EXPECT_NE(u.out.find("Uso: flussom"), std::string::npos) << u.out;
  }
}

TEST_F(Controlla, RegistraAppendsTheRecordOnALineOfItsOwnOrRefusesItWhole) {
  const auto registra = [&](std::vector<std::string> args) {
    args.insert(args.begin(), {"registra", "--cartella", dir.percorso().string()});
    return esegui_flussom(args);
  };
  const std::string a = "\"1\",\"A\",\"02\",\"\",\"\"",
                    nuovo = "\"654321\",\"VIA ROMA AMBULATORIO\",\"08\",\"9\",\"\"\r\n";
  const std::pair<std::string, std::string> prima_dopo[] = {
      {"", ""},
      {a + "\r\n", a + "\r\n"},
      {a, a + "\r\n"},       // as Notepad leaves it
      {a + "\n", a + "\n"},  // LF alone ends the record too
      {a + "\r", a + "\r"},
      {a + "  ", a + "  \r\n"},
  };
  for (const auto& [prima, dopo] : prima_dopo) {
    dir.scrivi("strutture.DAT", prima);
    const auto u = registra({"654321", "via roma ambulatorio", "08", "9"});
    EXPECT_EQ(u.stato, 0) << u.err;
    EXPECT_EQ(dir.leggi("strutture.DAT"), dopo + nuovo) << prima;
  }
  const std::string atteso = a + "  \r\n" + nuovo;

  // Every field checked; control characters: DEL, C1, tab.
  for (const auto& args : {std::vector<std::string>{"12a", "NOME", "08"}, {"1234567", "NOME", "08"},
                           {"1", "NOME 2", "08"}, {"1", "NOME \"X\"", "08"}, {"1", "A,B", "08"},
                           {"1", std::string(31, 'A'), "08"}, {"1", "NOME", "123"},
                           {"1", "NOME", ""}, {" ", "NOME", "08"}, {"1", "NOME", "08", "x"},
                           {"1", "A\x7F" "B", "08"}, {"1", "A\u0081B", "08"},
                           {"1", "A\u009FB", "08"}, {"1", "A\tB", "08"}}) {
    const auto u = registra(args);
    EXPECT_EQ(u.stato, 2) << args[0] << " " << args[1];
    EXPECT_NE(u.err.find("Nessun record scritto"), std::string::npos) << u.err;
  }
  EXPECT_EQ(dir.leggi("strutture.DAT"), atteso);

  // Accented letters and the printable characters of 0x80-0x9F are kept, as Windows-1252.
  EXPECT_EQ(registra({"7", "citt\u00E0 \u20AC \u201CA\u201D", "08"}).stato, 0);
  EXPECT_EQ(dir.leggi("strutture.DAT"),
            atteso + "\"7\",\"CITT\xE0 \x80 \x93" "A\x94\",\"08\",\"\",\"\"\r\n");

  // A code registered already: refused with the name the lookup finds, in UTF-8.
  const auto u = registra({"7", "ALTRO NOME", "01"});
  EXPECT_EQ(u.stato, 2);
  EXPECT_EQ(u.err, "Struttura 7 gi\u00E0 registrata: CITT\u00E0 \u20AC \u201CA\u201D\n");
  EXPECT_EQ(u.out, "");
  EXPECT_EQ(dir.leggi("strutture.DAT"),
            atteso + "\"7\",\"CITT\xE0 \x80 \x93" "A\x94\",\"08\",\"\",\"\"\r\n");
}

}  // namespace
}  // namespace flussom
