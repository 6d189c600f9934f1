// The real `flussom` binary on bad input: broken data files, broken or missing tables,
// unusable folders. For each, what the user sees (exit status, message, report), and that the
// data file and the tables are left byte for byte as they were: only errori.RPT, and the empty
// keyed tables that a lookup creates, are ever written.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <thread>

#include "support/cartella_temporanea.h"
#include "support/esegui.h"
#include "support/riga_prova.h"

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
#define FLUSSOM_SOTTO_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FLUSSOM_SOTTO_ASAN 1
#endif
#endif

namespace flussom {
namespace {

namespace fs = std::filesystem;
using prova::contenuto;
using prova::esegui_flussom;
using prova::RigaProva;

const std::string no_struttura =
    "STRUTTURA NON TROVATA! Vuole inserirla (risposta: No)\nSTRUTTURA NON TROVATA\n";

std::string sostituisci(std::string s, const std::string& da, const std::string& a) {
  for (std::size_t i = 0; (i = s.find(da, i)) != std::string::npos; i += a.size())
    s.replace(i, da.size(), a);
  return s;
}

// Two correct ricette of 2 and 3 visits (7 lines), CR LF.
std::string due_ricette() {
  return prova::ricetta_corretta("190000000000001", 2) +
         prova::ricetta_corretta("190000000000002", 3);
}

class Robustezza : public ::testing::Test {
 protected:
  Robustezza() {
    prova::costruisci_in(app.percorso(), prova::tabelle_base());
    app.scrivi("strutture.DAT", prova::strutture_base());
    file = dati / "FLM102026.txt";
  }

  // Runs `flussom controlla` on `file` and checks that only what may be written was: in the
  // application folder errori.RPT and, created empty, its lock and the keyed tables a lookup
  // needs; in the data folder nothing.
  prova::Uscita controlla() {
    static const std::set<std::string> chiave = {"TERAPIE.DAT", "ICD9.DAT", "COMUXX.DAT", "CODESE.DAT",
                                                 "errori.RPT.lck"};
    const auto prima = contenuto(app.percorso()), dati_prima = contenuto(dati.percorso());
    auto u = esegui_flussom({"controlla", "--cartella", app.percorso().string(), file.string()});
    EXPECT_TRUE(contenuto(dati.percorso()) == dati_prima) << "data folder changed";
    const auto dopo = contenuto(app.percorso());
    for (const auto& [nome, byte] : prima)
      EXPECT_TRUE(nome == "errori.RPT" || (dopo.count(nome) && dopo.at(nome) == byte)) << nome;
    for (const auto& [nome, byte] : dopo)
      EXPECT_TRUE(prima.count(nome) || nome == "errori.RPT" || (chiave.count(nome) && byte.empty()))
          << nome << " created";
    return u;
  }
  void scrivi_dati(const std::string& d) { prova::scrivi_file(file, d); }
  std::string report() const {
    std::error_code ec;
    return fs::is_directory(app / "errori.RPT", ec) ? "(a folder)" : app.leggi("errori.RPT");
  }
  std::string apertura() const { return "Apertura File : " + file.string() + "\n"; }

  prova::CartellaTemporanea app, dati;
  fs::path file;
};

TEST_F(Robustezza, BadDataFilesAndReports) {
  // Each case: what is made, then what the run says: its status; its output after the
  // "Apertura File" line, up to the number of services; its standard error ({file}: the
  // data file's path, {rpt}: the report's; without a final line break, only its start); what
  // the report holds ("=": what it held before).
  struct Caso {
    const char* nome;
    std::function<void()> prepara;
    int stato;
    std::string dopo_apertura, err, nel_report;
  };
  const std::string d = due_ricette(), intestazione = "Struttura : AMBULATORIO PROVA\r\n",
                    corretto = "IL FILE E' CORRETTO\nRicette lette    nr 2\n"
                               "Records letti    nr 7\n",
                    lunghezza = "Lunghezza file ERRATA\n", errata = " Lunghezza file errata \r\n",
                    leggere = "Impossibile leggere il file {file} : ",
                    il_report = "Il file {file} \xC3\xA8 il report errori.RPT: nessun controllo "
                                "eseguito, scegliere il file dati\n";
  RigaProva r;  // NUL and FF bytes in its fields
  r.cognome = std::string("RO\0SI", 5);
  r.cod_prestazione = "89.7\xFF";
  r.quantita = std::string("\0\0\0", 3);
  const std::string nul = std::string(222, '\0') + "\r\n" + std::string(222, '\0') + "\r\n";
  const auto con = [&](const std::string& x) { return [&, x] { scrivi_dati(x); }; };
  const auto in = [&](const fs::path& p) { return [&, p] { file = p; }; };
  std::vector<Caso> casi = {
      {"CR LF", [] {}, 0, corretto, "", intestazione},
      {"LF CR, an empty line between", con(sostituisci(d, "\r\n", "\n\r")), 1, lunghezza, "",
       errata},
      {"cut in a line", con(d.substr(0, d.size() - 100)), 1, lunghezza, "", errata},
      // Cut after the services of the second ricetta: its closing row is missing.
      {"cut before the last closing row", con(d.substr(0, d.size() - 224)), 1,
       "Il file contiene ERRORI rilevanti\n", "",
       " Non \xE8 presente la riga 99 \r\n01 " + std::string(60, '.') + " Ricetta Nr   190000000000002\r\n"},
      {"NUL bytes alone: no facility", con(nul), 1, "", no_struttura, ""},
      {"NUL and FF in the fields, as any character",
       con(r.linea() + "\r\n" + r.chiusura("0020,66", "\xFF\xFF").linea() + "\r\n"), 1,
       "Il file contiene ERRORI rilevanti\n", "", " Cod.Prestaz.  89.7\xFF inesistente   \r\n"},
      {"a folder", [&] { fs::create_directory(file = dati / "cartella"); }, 2, "",
       leggere + "\xC3\xA8 una cartella\n", "="},
      {"nothing", in(dati / "manca"), 2, "", leggere, "="},
      {"the report", in(app / "errori.RPT"), 2, "", il_report, "="},
      {"the report by another path", in(app / "." / "errori.RPT"), 2, "", il_report, "="},
  };
#ifndef _WIN32
  const fs::path rpt = app / "errori.RPT";
  const auto al_posto_del_report = [&](std::function<void()> crea) {
    return [&, crea] {
      fs::remove(rpt);
      crea();
    };
  };
  const std::string cartella = "Impossibile scrivere il report {rpt} : \xC3\xA8 una cartella\n";
  casi.insert(
      casi.end(),
      {{"/dev/null", in("/dev/null"), 2, "", leggere + "\xC3\xA8 un dispositivo\n", "="},
       {"a socket", [&] { mknod((file = dati / "presa").c_str(), S_IFSOCK | 0600, 0); }, 2, "",
        leggere + "\xC3\xA8 un socket\n", "="},
       {"a link to the report", [&] { fs::create_symlink(rpt, file = dati / "link"); }, 2, "",
        il_report, "="},
       {"a hard link to the report", [&] { fs::create_hard_link(rpt, file = dati / "FLM11.txt"); },
        2, "", il_report, "="},
       // A folder in the report's place is the user's: left alone, empty or not, even by root.
       // A link there is replaced by the new report; what it pointed to is neither written
       // nor created (nothing in the data folder changes).
       {"an empty folder as the report", al_posto_del_report([&] { fs::create_directory(rpt); }),
        2, "", cartella, "="},
       {"a folder as the report", al_posto_del_report([&] { fs::create_directories(rpt / "d"); }),
        2, "", cartella, "="},
       {"a link as the report",
        al_posto_del_report([&] { fs::create_symlink(dati.scrivi("altro", "altrui"), rpt); }), 0,
        corretto, "", intestazione},
       {"a dangling link as the report",
        al_posto_del_report([&] { fs::create_symlink(dati / "nuovo", rpt); }), 0, corretto, "",
        intestazione}});
#endif
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    for (const auto& e : fs::directory_iterator(dati.percorso())) fs::remove_all(e.path());
    fs::remove_all(app / "errori.RPT");
    app.scrivi("errori.RPT", "precedente");
    file = dati / "FLM102026.txt";
    scrivi_dati(d);
    c.prepara();
    const std::string prima = report();
    const auto u = controlla();
    const std::string err = sostituisci(sostituisci(c.err, "{file}", file.string()), "{rpt}",
                                        (app / "errori.RPT").string());
    EXPECT_EQ(u.stato, c.stato) << u.err;
    EXPECT_EQ(u.out.substr(0, u.out.find("Prestazioni")), apertura() + c.dopo_apertura);
    EXPECT_EQ(err.empty() || err.ends_with('\n') ? u.err : u.err.substr(0, err.size()), err);
    if (c.nel_report == "=") {
      EXPECT_EQ(report(), prima);
    } else {
      EXPECT_NE(report().find(c.nel_report), std::string::npos) << report();
    }
  }
  fs::remove_all(app / "errori.RPT");
}

TEST_F(Robustezza, MissingApplicationFolder) {
  scrivi_dati(due_ricette());
  for (const fs::path& c : {app / "manca", fs::path(file)}) {  // missing, or a file
    const auto u = esegui_flussom({"controlla", "--cartella", c.string(), file.string()});
    EXPECT_EQ(u.stato, 2);
    EXPECT_EQ(u.out, "");
    EXPECT_EQ(u.err, "Cartella dell'applicazione non trovata: " + c.string() + "\n");
  }
  EXPECT_FALSE(fs::exists(app / "manca"));
  EXPECT_EQ(prova::leggi_file(file), due_ricette());
}

TEST_F(Robustezza, TablesMissingEmptyOrNotFiles) {
  // A missing table is named, an empty one is not, and one that is not a regular file is
  // named as unusable and treated as missing. Without its table the facility is not found;
  // other codes are unknown (or, for the parallel tables and NOESE.DAT, pass).
  const std::map<std::string, int> stato_se_mancante{
      {"strutture.DAT", 1}, {"TERAPIE.DAT", 1}, {"TERA001.DAT", 0}, {"SCONTI.DAT", 0},
      {"NOESE.DAT", 0},     {"ICD9.DAT", 0},    {"COMUXX.DAT", 1},  {"CODESE.DAT", 0}};
  prova::CartellaTemporanea fuori;
  const fs::path bersaglio = fuori / "bersaglio";
  struct Modo {
    const char* nome;
    const char* avviso;  // how the warning names the table; nullptr: no warning
    std::function<void(const fs::path& tabella)> crea;
  };
  const Modo modi[] = {
      {"missing", "mancante", [](const fs::path&) {}},
      {"empty", nullptr, [](const fs::path& t) { prova::scrivi_file(t, ""); }},
#ifndef _WIN32
      {"a folder", "inutilizzabile", [](const fs::path& t) { fs::create_directories(t / "d"); }},
      {"a FIFO", "inutilizzabile", [](const fs::path& t) { mkfifo(t.c_str(), 0600); }},
      {"a link to a device", "inutilizzabile",
       [](const fs::path& t) { fs::create_symlink("/dev/null", t); }},
      {"a link to nowhere", "inutilizzabile",
       [&](const fs::path& t) { fs::create_symlink(bersaglio, t); }},
#endif
  };
  scrivi_dati(due_ricette());
  for (const auto& [tabella, stato] : stato_se_mancante) {
    const std::string byte = app.leggi(tabella);
    for (const Modo& m : modi) {
      SCOPED_TRACE(tabella + " " + m.nome);
      fs::remove(app / tabella);
      m.crea(app / tabella);
      const auto u = controlla();
      EXPECT_EQ(u.stato, stato) << u.err;
      if (m.avviso) {
        const std::string avviso = std::string("Attenzione: tabella ") + m.avviso + " ";
        EXPECT_NE(u.err.find(avviso + (app / tabella).string()), std::string::npos) << u.err;
      } else {
        EXPECT_EQ(u.err.find("Attenzione"), std::string::npos) << u.err;
      }
      EXPECT_TRUE(tabella != "strutture.DAT" || u.err.ends_with(no_struttura)) << u.err;
      // Nothing created through the link, nothing put in the folder's place.
      EXPECT_FALSE(fs::exists(bersaglio));
      fs::remove_all(app / tabella);
    }
    app.scrivi(tabella, byte);
  }
  // Not a regular file (the ways after the first two), a source of the table builder or a
  // table shown back as CSV is refused, not waited for nor read without end.
  for (const Modo& m : std::span(modi).subspan(2)) {
    SCOPED_TRACE(m.nome);
    prova::CartellaTemporanea sorgenti, dest;
    m.crea(sorgenti / "diagnosi.csv");
    auto u = esegui_flussom(
        {"tabelle", "costruisci", sorgenti.percorso().string(), dest.percorso().string()});
    EXPECT_EQ(u.stato, 2);
    EXPECT_TRUE(u.err.starts_with("Errore in diagnosi.csv: file illeggibile: ")) << u.err;
    EXPECT_TRUE(fs::is_empty(dest.percorso()));
    m.crea(dest / "ICD9.DAT");
    u = esegui_flussom({"tabelle", "mostra", (dest / "ICD9.DAT").string()});
    EXPECT_EQ(u.stato, 2);
    EXPECT_TRUE(u.err.starts_with("Errore: impossibile leggere ")) << u.err;
    EXPECT_FALSE(fs::exists(bersaglio));
  }
}

#ifndef _WIN32
TEST_F(Robustezza, ReadOnlyApplicationFolder) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  scrivi_dati(due_ricette());
  fs::remove(app / "ICD9.DAT");  // a keyed table that cannot be created
  fs::permissions(app.percorso(), fs::perms::owner_read | fs::perms::owner_exec);
  const auto u = controlla();
  fs::permissions(app.percorso(), fs::perms::owner_all);
  EXPECT_EQ(u.stato, 2);
  EXPECT_EQ(u.out, apertura());
  EXPECT_NE(u.err.find("Impossibile scrivere il report " + (app / "errori.RPT").string() + " : "),
            std::string::npos) << u.err;
  EXPECT_FALSE(fs::exists(app / "errori.RPT"));
  EXPECT_FALSE(fs::exists(app / "ICD9.DAT"));
}

// Runs `flussom controlla` in a child of its own, so that its peak memory is its own; killed
// (SIGALRM) after `secondi`. Standard input comes from `ingresso`.
struct Figlio {
  pid_t pid = -1;
  prova::CartellaTemporanea uscite;

  Figlio(const fs::path& app, const fs::path& file, unsigned secondi, const fs::path& ingresso = "/dev/null") {
    std::string a[] = {FLUSSOM_BIN, "controlla", "--cartella", app.string(), file.string()};
    char* argv[] = {a[0].data(), a[1].data(), a[2].data(), a[3].data(), a[4].data(), nullptr};
    const std::string out = (uscite / "out").string(), err = (uscite / "err").string();
#ifdef __GLIBC__
    malloc_trim(0);  // the child starts as a copy of this process, counted in its peak
#endif
    if ((pid = fork()) != 0) return;
    dup2(open(ingresso.c_str(), O_RDONLY), 0);
    dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
    dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
    alarm(secondi);
    execv(argv[0], argv);
    _exit(127);
  }

  // Waits for the end: exit status (-1 when killed), output, and the peak resident memory in
  // kilobytes.
  prova::Uscita attendi(long* picco_kb = nullptr) {
    int stato = 0;
    rusage uso{};
    wait4(pid, &stato, 0, &uso);
    pid = -1;
    if (picco_kb) *picco_kb = uso.ru_maxrss;
    return {WIFEXITED(stato) ? WEXITSTATUS(stato) : -1, uscite.leggi("out"), uscite.leggi("err")};
  }

  ~Figlio() {
    if (pid > 0 && kill(pid, SIGKILL) == 0) waitpid(pid, nullptr, 0);
  }
};

TEST_F(Robustezza, LineOfTenMegabytes) {
  // A first line of ten megabytes that starts as a valid line, written in pieces: the run
  // stops at it, and holds far less than the line in memory.
  {
    std::ofstream out(file, std::ios::binary);
    out << RigaProva{}.linea();
    const std::string pezzo(1 << 16, 'x');
    for (int i = 0; i < 160; ++i) out << pezzo;
    out << "\r\n" << due_ricette();
  }
  long picco = 0;
  const auto u = Figlio(app.percorso(), file, 600).attendi(&picco);
  EXPECT_EQ(u.stato, 1);
  EXPECT_EQ(u.out, apertura() + "Lunghezza file ERRATA\n");
  RecordProperty("picco_kb", static_cast<int>(picco));
#ifndef FLUSSOM_SOTTO_ASAN
  EXPECT_LT(picco, 10 * 1024);
#endif
}

#ifdef __linux__
TEST_F(Robustezza, PipesAreReadOnceAndWhole) {
  // Named pipes play the data file, read by name and as standard input through /dev/stdin:
  // the file is read once, whole, and the verdict is on what was read. A pipe whose writer
  // has gone gives no verdict and does not wait.
  const std::string d = due_ricette();
  RigaProva e;  // an error (quantity 0) in the first of two ricette
  e.quantita = "000";
  const std::string con_un_errore = e.linea() + "\r\n" +
                                    e.chiusura("0020,66", "0000,00").linea() + "\r\n" +
                                    prova::ricetta_corretta("190000000000002");
  struct Caso {
    const char* nome;
    std::optional<std::string> scritto;  // nullopt: the writer is gone before the run
    int stato;
    std::string dopo_apertura, err;
  };
  const Caso casi[] = {
      {"corretto", d, 0, "IL FILE E' CORRETTO\n", ""},
      {"tagliato nella quinta riga", d.substr(0, 224 * 4 + 100), 1, "Lunghezza file ERRATA\n", ""},
      {"con un errore", con_un_errore, 1, "Il file contiene ERRORI rilevanti\n", ""},
      {"scrittore finito", std::nullopt, 2, "",
       "Impossibile leggere il file " + file.string() + " : nessun dato ricevuto\n"},
  };
  const fs::path tubo = dati / "tubo";
  ASSERT_EQ(mkfifo(tubo.c_str(), 0600), 0);
  for (const bool da_stdin : {false, true}) {
    fs::remove(file);
    fs::create_symlink(da_stdin ? fs::path("/dev/stdin") : tubo, file);
    for (const auto& c : casi) {
      if (da_stdin && !c.scritto) continue;  // standard input cannot open a pipe without a writer
      SCOPED_TRACE(std::string(c.nome) + (da_stdin ? " da /dev/stdin" : ""));
      fs::remove(app / "errori.RPT");
      // Held for reading and writing, the pipe has a writer before the run opens it; the
      // writer goes once the run has read what was written.
      const int fd = c.scritto ? open(tubo.c_str(), O_RDWR | O_CLOEXEC) : -1;
      if (fd >= 0) {
        ASSERT_EQ(write(fd, c.scritto->data(), c.scritto->size()), ssize_t(c.scritto->size()));
      }
      Figlio f(app.percorso(), file, 60, da_stdin ? tubo : fs::path("/dev/null"));
      int n = 1;
      for (int i = 0; fd >= 0 && i < 30000 && ioctl(fd, FIONREAD, &n) == 0 && n > 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
      if (fd >= 0) close(fd);
      const auto u = f.attendi();
      EXPECT_EQ(u.stato, c.stato) << u.err;
      EXPECT_EQ(u.out.substr(0, u.out.find("Ricette")), apertura() + c.dopo_apertura);
      EXPECT_EQ(u.err, c.err);
      EXPECT_EQ(fs::exists(app / "errori.RPT"), c.stato != 2);
    }
  }
}
#endif
#endif  // _WIN32

}  // namespace
}  // namespace flussom
