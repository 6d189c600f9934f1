// The real `flussom` binary on bad input: broken data files, broken tables, unusable
// folders. For each, what the user sees (exit status, message, report), and that the data
// file and the tables are left byte for byte as they were: only errori.RPT, and the empty
// keyed tables that a lookup creates, are ever written.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <cstring>
#include <map>
#include <optional>
#include <thread>

#include "support/cartella_temporanea.h"
#include "support/esegui.h"
#include "support/riga_prova.h"

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
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
using prova::esegui_flussom;
using prova::RigaProva;

const char* const tabelle[] = {"strutture.DAT", "TERAPIE.DAT", "TERA001.DAT", "SCONTI.DAT",
                               "NOESE.DAT",     "ICD9.DAT",    "COMUXX.DAT",  "CODESE.DAT"};

bool creata_da_ricerca(const std::string& nome) {
  return nome == "TERAPIE.DAT" || nome == "ICD9.DAT" || nome == "COMUXX.DAT" || nome == "CODESE.DAT";
}

// The regular files of a folder with their bytes.
std::map<std::string, std::string> contenuto(const fs::path& cartella) {
  std::map<std::string, std::string> m;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(cartella, ec))
    if (e.is_regular_file()) m[e.path().filename().string()] = prova::leggi_file(e.path());
  return m;
}

std::string sostituisci(std::string s, const std::string& da, const std::string& a) {
  for (std::size_t i = 0; (i = s.find(da, i)) != std::string::npos; i += a.size()) s.replace(i, da.size(), a);
  return s;
}

const std::string no_struttura =
    "STRUTTURA NON TROVATA! Vuole inserirla (risposta: No)\nSTRUTTURA NON TROVATA\n";

class Robustezza : public ::testing::Test {
 protected:
  Robustezza() {
    prova::costruisci_in(app.percorso(), prova::tabelle_base());
    app.scrivi("strutture.DAT", prova::strutture_base());
    file = dati / "FLM102026.txt";
  }

  // Runs `flussom controlla` on `file` and checks that only what may be written was.
  prova::Uscita controlla() { return controlla_in(app.percorso()); }
  prova::Uscita controlla_in(const fs::path& cartella) {
    const auto prima = contenuto(cartella);
    std::error_code ec;
    const bool regolare = fs::is_regular_file(file, ec);
    const std::string dati_prima = regolare ? prova::leggi_file(file) : "";
    auto u = esegui_flussom({"controlla", "--cartella", cartella.string(), file.string()});
    verifica_intatti(prima, contenuto(cartella));
    if (regolare) {
      EXPECT_TRUE(prova::leggi_file(file) == dati_prima) << "data file changed";
    }
    return u;
  }

  static void verifica_intatti(const std::map<std::string, std::string>& prima,
                               const std::map<std::string, std::string>& dopo) {
    for (const auto& [nome, byte] : prima) {
      if (nome == "errori.RPT") continue;
      auto it = dopo.find(nome);
      ASSERT_TRUE(it != dopo.end()) << nome << " removed";
      EXPECT_TRUE(it->second == byte) << nome << " changed";
    }
    for (const auto& [nome, byte] : dopo) {
      if (prima.count(nome) || nome == "errori.RPT") continue;
      EXPECT_TRUE(creata_da_ricerca(nome)) << nome << " created";
      EXPECT_EQ(byte.size(), 0u) << nome << " created with contents";
    }
  }

  void scrivi_dati(const std::string& d) { prova::scrivi_file(file, d); }
  std::string report() const { return app.leggi("errori.RPT"); }
  std::string apertura() const { return "Apertura File : " + file.string() + "\n"; }
  // The start of the output of a correct file, up to the count of lines.
  std::string corretto(int ricette, int righe) const {
    return apertura() + "IL FILE E' CORRETTO\nRicette lette    nr " + std::to_string(ricette) +
           "\nRecords letti    nr " + std::to_string(righe) + "\n";
  }

  prova::CartellaTemporanea app, dati;
  fs::path file;
};

// Two correct ricette of 2 and 3 visits (7 lines), CR LF.
std::string due_ricette() {
  return prova::ricetta_corretta("190000000000001", 2) + prova::ricetta_corretta("190000000000002", 3);
}

// A ricetta with an error (quantity 0) followed by a correct one.
std::string con_un_errore() {
  RigaProva r;
  r.quantita = "000";
  return r.linea() + "\r\n" + r.chiusura("0020,66", "0000,00").linea() + "\r\n" +
         prova::ricetta_corretta("190000000000002");
}

TEST_F(Robustezza, CrAloneLfAloneAndMixedLineEndsReadTheSameLines) {
  scrivi_dati(due_ricette());
  const auto atteso = controlla();
  ASSERT_EQ(atteso.stato, 0) << atteso.err;
  ASSERT_EQ(atteso.out.rfind(corretto(2, 7), 0), 0u) << atteso.out;
  const std::string rep = report();

  const std::string crlf = due_ricette();
  std::string misto;
  const char* const fini[] = {"\r\n", "\n", "\r"};
  std::size_t i = 0, k = 0;
  for (std::size_t j; (j = crlf.find("\r\n", i)) != std::string::npos; i = j + 2)
    misto += crlf.substr(i, j - i) + fini[k++ % 3];
  for (const std::string& d : {sostituisci(crlf, "\r\n", "\r"), sostituisci(crlf, "\r\n", "\n"), misto,
                               crlf.substr(0, crlf.size() - 2)}) {
    scrivi_dati(d);
    const auto u = controlla();
    EXPECT_EQ(u.stato, 0);
    EXPECT_EQ(u.out, atteso.out);
    EXPECT_EQ(u.err, "");
    EXPECT_EQ(report(), rep);
  }

  // LF CR is two breaks: the empty line between them has the wrong length.
  scrivi_dati(sostituisci(crlf, "\r\n", "\n\r"));
  const auto u = controlla();
  EXPECT_EQ(u.stato, 1);
  EXPECT_EQ(u.out, apertura() + "Lunghezza file ERRATA\n");
}

TEST_F(Robustezza, FileEndingInTheMiddleOfALine) {
  const std::string d = due_ricette();
  scrivi_dati(d.substr(0, d.size() - 100));
  auto u = controlla();
  EXPECT_EQ(u.stato, 1);
  EXPECT_EQ(u.out, apertura() + "Lunghezza file ERRATA\n");
  ASSERT_GE(report().size(), 27u);
  EXPECT_EQ(report().substr(report().size() - 27), "\r\n Lunghezza file errata \r\n");

  // After an error the cut line joins the open ricetta and the run reaches the end.
  const std::string e = con_un_errore();
  scrivi_dati(e.substr(0, e.size() - 100));
  u = controlla();
  EXPECT_EQ(u.stato, 1);
  EXPECT_EQ(u.out, apertura() + "Lunghezza file ERRATA\nIl file contiene ERRORI rilevanti\n");
  EXPECT_NE(report().find(" Lunghezza file errata \r\n"), std::string::npos);
  EXPECT_NE(report().find("Data controllo : "), std::string::npos);
}

TEST_F(Robustezza, NulAndFfBytes) {
  // Nothing but NUL bytes: no facility.
  scrivi_dati(std::string(222, '\0') + "\r\n" + std::string(222, '\0') + "\r\n");
  auto u = controlla();
  EXPECT_EQ(u.stato, 1);
  EXPECT_EQ(u.err, no_struttura);
  EXPECT_EQ(u.out, apertura());

  // Inside the fields of a line of the right length they are ordinary characters: the
  // checks report them and the run reaches the end.
  RigaProva r;
  r.cognome = std::string("RO\0SI", 5);
  r.cod_prestazione = "89.7\xFF";
  r.quantita = std::string("\0\0\0", 3);
  scrivi_dati(r.linea() + "\r\n" + r.chiusura("0020,66", std::string("\xFF\xFF", 2)).linea() + "\r\n");
  u = controlla();
  EXPECT_EQ(u.stato, 1);
  EXPECT_EQ(u.out, apertura() + "Il file contiene ERRORI rilevanti\n");
  EXPECT_NE(report().find(" Cod.Prestaz.  89.7\xFF inesistente   \r\n"), std::string::npos) << report();
}

TEST_F(Robustezza, DataFileThatIsNotARegularFile) {
  // Refused before the report is touched: a folder, nothing, devices, a socket.
  fs::create_directory(dati / "cartella");
  std::vector<std::pair<fs::path, std::string>> casi = {{dati / "cartella", "\xC3\xA8 una cartella"},
                                                        {dati / "manca", ""}};
#ifndef _WIN32
  const int s = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un a{};
  a.sun_family = AF_UNIX;
  const std::string presa = (dati / "presa").string();
  ASSERT_LT(presa.size(), sizeof a.sun_path);
  std::memcpy(a.sun_path, presa.c_str(), presa.size() + 1);
  ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  casi.insert(casi.end(), {{"/dev/zero", "\xC3\xA8 un dispositivo"}, {"/dev/null", "\xC3\xA8 un dispositivo"},
                           {presa, "\xC3\xA8 un socket"}});
#endif
  app.scrivi("errori.RPT", "precedente");
  for (const auto& [bersaglio, motivo] : casi) {
    file = bersaglio;
    const auto u = controlla();
    EXPECT_EQ(u.stato, 2) << bersaglio;
    EXPECT_EQ(u.out, apertura());
    const std::string atteso = "Impossibile leggere il file " + file.string() + " : " + motivo;
    EXPECT_EQ(motivo.empty() ? u.err.substr(0, atteso.size()) : u.err, motivo.empty() ? atteso : atteso + "\n");
    EXPECT_EQ(report(), "precedente");
  }
#ifndef _WIN32
  close(s);
#endif
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
#endif

#ifndef _WIN32  // symbolic links
TEST_F(Robustezza, ReportPlaceTakenByAFolderOrALink) {
  // A folder is the user's: left alone, empty or not, even by root. A link is replaced by
  // the new report; what it pointed to is neither written nor created.
  scrivi_dati(due_ricette());
  const fs::path rpt = app / "errori.RPT";
  dati.scrivi("bersaglio", "altrui");
  struct Caso {
    const char* nome;
    std::function<void()> prepara;
    int stato;
  };
  const Caso casi[] = {
      {"cartella vuota", [&] { fs::create_directory(rpt); }, 2},
      {"cartella piena", [&] { fs::create_directories(rpt / "dentro"); }, 2},
      {"link a un file", [&] { fs::create_symlink(dati / "bersaglio", rpt); }, 0},
      {"link pendente", [&] { fs::create_symlink(dati / "nuovo", rpt); }, 0},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    fs::remove_all(rpt);
    c.prepara();
    const auto u = controlla();
    EXPECT_EQ(u.stato, c.stato) << u.err;
    if (c.stato == 2) {
      EXPECT_EQ(u.out, apertura());
      EXPECT_EQ(u.err, "Impossibile scrivere il report " + rpt.string() + " : \xC3\xA8 una cartella\n");
      EXPECT_TRUE(fs::is_directory(rpt));
    } else {
      EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(rpt)));
      EXPECT_EQ(report().rfind("Struttura : AMBULATORIO PROVA\r\n", 0), 0u);
    }
    EXPECT_EQ(dati.leggi("bersaglio"), "altrui");
    EXPECT_FALSE(fs::exists(dati / "nuovo"));
  }
  fs::remove_all(rpt);
}
#endif

#ifndef _WIN32  // symbolic links
TEST_F(Robustezza, DataFileThatIsTheReportItself) {
  // The report of an earlier run given as the data file, by its name or through links:
  // refused before the report is touched.
  scrivi_dati(con_un_errore());
  ASSERT_EQ(controlla().stato, 1);
  const fs::path rpt = app / "errori.RPT";
  const std::string prima = report();
  fs::remove(file);
  fs::create_symlink(rpt, file);
  fs::create_hard_link(rpt, dati / "FLM112026.txt");
  for (const fs::path& p : {rpt, app.percorso() / "." / "errori.RPT", file, dati / "FLM112026.txt"}) {
    file = p;
    const auto u = controlla();
    EXPECT_EQ(u.stato, 2) << p;
    EXPECT_EQ(u.out, apertura());
    EXPECT_EQ(u.err, "Il file " + p.string() +
                         " \xC3\xA8 il report errori.RPT: nessun controllo eseguito, scegliere il file dati\n");
    EXPECT_TRUE(report() == prima) << p;
  }
}
#endif

TEST_F(Robustezza, EveryTableMissing) {
  scrivi_dati(due_ricette());
  for (const char* t : tabelle)
    if (std::string(t) != "strutture.DAT") fs::remove(app / t);
  auto u = controlla();
  EXPECT_EQ(u.stato, 1);
  std::string avvisi;
  for (const char* t : tabelle)
    if (std::string(t) != "strutture.DAT") avvisi += "Attenzione: tabella mancante " + (app / t).string() + "\n";
  EXPECT_EQ(u.err, avvisi);
  EXPECT_EQ(u.out, apertura() + "Il file contiene ERRORI rilevanti\n");
  EXPECT_NE(report().find(" Cod.Prestaz.  89.7 inesistente   \r\n"), std::string::npos);
  // The keyed tables that were looked up (services, municipalities) were created empty;
  // the parallel tables and NOESE.DAT never are.
  EXPECT_TRUE(fs::exists(app / "TERAPIE.DAT"));
  EXPECT_TRUE(fs::exists(app / "COMUXX.DAT"));
  for (const char* t : {"TERA001.DAT", "SCONTI.DAT", "NOESE.DAT"}) EXPECT_FALSE(fs::exists(app / t)) << t;

  // Without strutture.DAT too: no facility, and strutture.DAT is not created.
  prova::CartellaTemporanea vuota;
  u = controlla_in(vuota.percorso());
  EXPECT_EQ(u.stato, 1);
  EXPECT_EQ(u.err.substr(u.err.size() - no_struttura.size()), no_struttura);
  EXPECT_NE(u.err.find("tabella mancante " + (vuota / "strutture.DAT").string()), std::string::npos);
  EXPECT_EQ(u.out, apertura());
  EXPECT_FALSE(fs::exists(vuota / "strutture.DAT"));
}

TEST_F(Robustezza, EveryTableEmpty) {
  scrivi_dati(due_ricette());
  for (const char* t : tabelle)
    if (std::string(t) != "strutture.DAT") app.scrivi(t, "");
  const auto u = controlla();
  EXPECT_EQ(u.stato, 1);
  EXPECT_EQ(u.err, "");
  EXPECT_EQ(u.out, apertura() + "Il file contiene ERRORI rilevanti\n");
  EXPECT_NE(report().find(" Cod.Prestaz.  89.7 inesistente   \r\n"), std::string::npos);
}

#ifndef _WIN32

// Runs the binary in a child of its own, so that its peak memory is its own. Standard input
// comes from `ingresso`; a `limite_file` caps the size of the files it writes (writes past it
// fail with EFBIG: SIGXFSZ is ignored).
struct Figlio {
  pid_t pid = -1;
  prova::CartellaTemporanea uscite;

  explicit Figlio(std::vector<std::string> argomenti, const fs::path& ingresso = "/dev/null",
                  rlim_t limite_file = RLIM_INFINITY) {
    const std::string out = (uscite / "out").string(), err = (uscite / "err").string();
    argomenti.insert(argomenti.begin(), FLUSSOM_BIN);
    std::vector<char*> argv;
    for (auto& a : argomenti) argv.push_back(a.data());
    argv.push_back(nullptr);
#ifdef __GLIBC__
    // The child starts as a copy of this process, and its peak memory counts that copy:
    // give back the memory earlier tests freed.
    malloc_trim(0);
#endif
    pid = fork();
    if (pid == 0) {
      if (limite_file != RLIM_INFINITY) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit r{limite_file, limite_file};
        setrlimit(RLIMIT_FSIZE, &r);
      }
      const int in = open(ingresso.c_str(), O_RDONLY);
      const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      dup2(in, 0);
      dup2(o, 1);
      dup2(e, 2);
      execv(argv[0], argv.data());
      _exit(127);
    }
  }

  // Waits for the end (at most ten minutes unless told): exit status, output, and the peak
  // resident memory in kilobytes.
  prova::Uscita attendi(long* picco_kb = nullptr, std::chrono::seconds attesa = std::chrono::minutes(10)) {
    int stato = 0;
    rusage uso{};
    const auto limite = std::chrono::steady_clock::now() + attesa;
    while (wait4(pid, &stato, WNOHANG, &uso) == 0) {
      if (std::chrono::steady_clock::now() > limite) {
        ADD_FAILURE() << "flussom did not end";
        kill(pid, SIGKILL);
        wait4(pid, &stato, 0, &uso);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    pid = -1;
    if (picco_kb) *picco_kb = uso.ru_maxrss;
    prova::Uscita u;
    u.stato = WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
    u.out = uscite.leggi("out");
    u.err = uscite.leggi("err");
    return u;
  }

  ~Figlio() {
    if (pid > 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
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
  Figlio f({"controlla", "--cartella", app.percorso().string(), file.string()});
  long picco = 0;
  auto u = f.attendi(&picco);
  EXPECT_EQ(u.stato, 1);
  EXPECT_EQ(u.out, apertura() + "Lunghezza file ERRATA\n");
  RecordProperty("picco_kb", static_cast<int>(picco));
#ifndef FLUSSOM_SOTTO_ASAN
  EXPECT_LT(picco, 10 * 1024);
#endif
}

// Named pipes play the data file, read by name and as standard input through /dev/stdin:
// the file is read once, whole, and the verdict is on what was read. A pipe whose writer has
// gone gives no verdict and does not wait.
#ifdef __linux__
bool aperta_dal_figlio(pid_t pid, const fs::path& p) {
  std::error_code ec;
  for (const auto& e : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec))
    if (fs::read_symlink(e.path(), ec) == p) return true;
  return false;
}

// Polls `fatto` for at most a minute.
template <typename F>
bool attendi_finche(F fatto) {
  const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!fatto()) {
    if (std::chrono::steady_clock::now() > limite) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

TEST_F(Robustezza, PipesAreReadOnceAndWhole) {
  signal(SIGPIPE, SIG_IGN);
  const std::string d = due_ricette();
  const std::string nessun_dato = "Impossibile leggere il file " + file.string() + " : nessun dato ricevuto\n";
  struct Caso {
    const char* nome;
    std::optional<std::string> scritto;  // nullopt: the writer is gone before the run
    int stato;
    std::string dopo_apertura, err;
  };
  const Caso casi[] = {
      {"corretto", d, 0, "IL FILE E' CORRETTO\n", ""},
      {"tagliato nella quinta riga", d.substr(0, 224 * 4 + 100), 1, "Lunghezza file ERRATA\n", ""},
      {"con un errore", con_un_errore(), 1, "Il file contiene ERRORI rilevanti\n", ""},
      {"vuoto", "", 2, "", nessun_dato},
      {"scrittore finito", std::nullopt, 2, "", nessun_dato},
  };
  const fs::path tubo = dati / "tubo";
  ASSERT_EQ(mkfifo(tubo.c_str(), 0600), 0);
  for (const bool da_stdin : {false, true}) {
    fs::remove(file);
    if (da_stdin)
      fs::create_symlink("/dev/stdin", file);
    else
      fs::create_symlink(tubo, file);
    for (const auto& c : casi) {
      if (da_stdin && !c.scritto) continue;  // standard input cannot open a pipe without a writer
      SCOPED_TRACE(std::string(c.nome) + (da_stdin ? " da /dev/stdin" : ""));
      fs::remove(app / "errori.RPT");
      // Held for reading and writing, the pipe has a writer before the run opens it.
      const int fd = c.scritto ? open(tubo.c_str(), O_RDWR | O_CLOEXEC) : -1;
      Figlio f({"controlla", "--cartella", app.percorso().string(), file.string()},
               da_stdin && c.scritto ? tubo : fs::path("/dev/null"));
      if (fd >= 0) {
        // Once the child runs flussom (the writer's copy closed at exec) and holds the pipe.
        const fs::path exe = "/proc/" + std::to_string(f.pid) + "/exe";
        EXPECT_TRUE(attendi_finche([&] {
          std::error_code ec;
          return fs::read_symlink(exe, ec) == fs::path(FLUSSOM_BIN) && aperta_dal_figlio(f.pid, tubo);
        }));
        EXPECT_EQ(write(fd, c.scritto->data(), c.scritto->size()), static_cast<ssize_t>(c.scritto->size()));
        close(fd);
      }
      const auto u = f.attendi(nullptr, std::chrono::seconds(60));
      EXPECT_EQ(u.stato, c.stato) << u.err;
      EXPECT_EQ(u.out.substr(0, u.out.find("Ricette")), apertura() + c.dopo_apertura);
      EXPECT_EQ(u.err, c.err);
      EXPECT_EQ(fs::exists(app / "errori.RPT"), c.stato != 2);
    }
  }
}
#endif

TEST_F(Robustezza, ReportThatFailsHalfway) {
  // Writes past 1 MB fail (EFBIG, as a full disk fails them with ENOSPC): the run says so
  // with the system's own reason and gives no verdict. (The limit leaves room for the
  // counters of a coverage build.)
  constexpr rlim_t limite = 1 << 20;
  std::string d;
  for (int n = 1; n <= 20000; ++n) {
    RigaProva r;
    r.num_ricetta = "19" + std::string(13 - std::to_string(n).size(), '0') + std::to_string(n);
    r.quantita = "000";
    d += r.linea() + "\r\n" + r.chiusura("0020,66", "0000,00").linea() + "\r\n";
  }
  scrivi_dati(d);
  Figlio f({"controlla", "--cartella", app.percorso().string(), file.string()}, "/dev/null", limite);
  const auto u = f.attendi(nullptr, std::chrono::seconds(120));
  EXPECT_EQ(u.stato, 2);
  EXPECT_EQ(u.out, apertura());
  EXPECT_EQ(u.err,
            "Impossibile scrivere il report " + (app / "errori.RPT").string() + " : " + std::strerror(EFBIG) + "\n");
  EXPECT_LE(fs::file_size(app / "errori.RPT"), limite);
}

#endif  // _WIN32

}  // namespace
}  // namespace flussom
