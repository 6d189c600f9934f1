// flussom: the command line of the Flusso M checker.
#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <new>

#include "cli/comandi.h"
#include "cli/interfaccia_terminale.h"
#include "cli/lotto.h"
#include "cli/sistema.h"
#include "cli/tabelle.h"

namespace {

// CLI11 speaks English; the program speaks Italian like the rest of its texts.
void italiano(CLI::App& app) {
  auto f = app.get_formatter();
  f->label("Usage", "Uso");
  f->label("OPTIONS", "OPZIONI");
  f->label("SUBCOMMAND", "COMANDO");
  f->label("SUBCOMMANDS", "COMANDI");
  f->label("Options", "Opzioni");
  f->label("Positionals", "Argomenti");
  f->label("Subcommands", "Comandi");
  f->label("REQUIRED", "OBBLIGATORIO");
  f->label("TEXT", "TESTO");
  f->label("Needs", "Richiede");
  f->label("Excludes", "Esclude");
  f->column_width(34);
  app.option_defaults()->group("Opzioni");
  app.set_help_flag("-h,--help", "Mostra questo aiuto ed esce");
}

// The text of `w` after the first `dopo`, or "" when it does not hold it.
std::string dopo(const std::string& w, const std::string& testo) {
  const auto i = w.find(testo);
  return i == std::string::npos ? std::string() : w.substr(i + testo.size());
}

// CLI11's parse errors in Italian, with the names and values they quote.
std::string messaggio_errore(const CLI::ParseError& e) {
  const std::string w = e.what();
  const std::string prima = w.substr(0, w.find(':'));
  if (dynamic_cast<const CLI::RequiredError*>(&e)) {
    if (w.find("subcommand") != std::string::npos) return "manca il comando o non \xC3\xA8 tra quelli previsti";
    const auto fine = w.find(" is required");
    return fine == std::string::npos ? "manca un argomento obbligatorio"
                                     : "manca l'argomento obbligatorio " + w.substr(0, fine);
  }
  if (dynamic_cast<const CLI::ExtrasError*>(&e)) return "argomenti non previsti: " + dopo(w, "expected: ");
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&e)) return "manca il valore di " + prima;
  if (dynamic_cast<const CLI::ValidationError*>(&e)) return "valore non valido per " + w;
  if (dynamic_cast<const CLI::ConversionError*>(&e)) return "valore non valido: " + dopo(w, ": ");
  return "argomenti non validi";
}

// Parses the command line: -1 when a command is to run, otherwise the exit status after
// the help or an error message.
int analizza(CLI::App& app, int argc, char** argv) {
  const std::vector<std::string> argomenti = flussom::argomenti_utf8(argc, argv);
  std::vector<const char*> puntatori;
  for (const auto& a : argomenti) puntatori.push_back(a.c_str());
  try {
    app.parse(static_cast<int>(puntatori.size()), puntatori.data());
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::cerr << "flussom: " << flussom::testo_visibile(messaggio_errore(e)) << "\n"
              << "Usare flussom --help per l'elenco dei comandi.\n";
    return 2;
  }
  return -1;
}

// Standard output flushed and closed: a verdict that could not be written is a failure.
int chiudi_uscita(int stato) {
  const bool gia_detto = !std::cout;  // the command has told of the failure already
  std::cout.flush();
  if (std::fflush(stdout) != 0 || std::ferror(stdout) || std::fclose(stdout) != 0) {
    if (gia_detto) return 2;
    std::fprintf(stderr, "flussom: impossibile scrivere sullo standard output: %s\n", std::strerror(errno));
    return 2;
  }
  return stato;
}

}  // namespace

namespace {

// The options of every command, filled by the parser.
struct Comandi {
  flussom::OpzioniControlla oc;
  flussom::OpzioniLotto ol;
  flussom::OpzioniRegistra orr;
  std::string cartella_c, cartella_l, uscita_l, cartella_r, sorgenti, dest, file_tabella;
  CLI::App* controlla = nullptr;
  CLI::App* lotto = nullptr;
  CLI::App* registra = nullptr;
  CLI::App* costruisci = nullptr;
  CLI::App* mostra = nullptr;
};

// Given empty, --cartella would quietly become the program's folder.
const CLI::Validator& non_vuota() {
  static const CLI::Validator v(
      [](std::string& s) { return s.empty() ? std::string("non pu\xC3\xB2 essere vuota") : std::string(); }, "");
  return v;
}

// A whole number from `minimo` to `massimo`, in decimal digits only (CLI11 would read
// "010" as octal and tell a mistake in English).
CLI::Validator numero_tra(unsigned minimo, unsigned massimo) {
  const std::string errore =
      "deve essere un numero da " + std::to_string(minimo) + " a " + std::to_string(massimo);
  return CLI::Validator(
      [=](std::string& s) {
        unsigned long n = 0;
        for (const char c : s) {
          if (c < '0' || c > '9') return errore;
          n = std::min<unsigned long>(n * 10 + static_cast<unsigned long>(c - '0'), massimo + 1UL);
        }
        if (s.empty() || n < minimo || n > massimo) return errore;
        s = std::to_string(n);
        return std::string();
      },
      "");
}

CLI::App* comando(CLI::App& padre, const char* nome, const char* descrizione) {
  auto* c = padre.add_subcommand(nome, descrizione);
  italiano(*c);
  c->group("Comandi");
  return c;
}

void dichiara_controlla(CLI::App& app, Comandi& k) {
  k.controlla = comando(app, "controlla",
                        "Controlla un file dati, scrive errori.RPT nella cartella dell'applicazione e "
                        "stampa l'esito. Uscita: 0 file corretto, 1 errori rilevati o controllo "
                        "interrotto, 2 nessun controllo eseguito");
  k.controlla->add_option("--cartella", k.cartella_c,
                          "Cartella dell'applicazione: tabelle e report (predefinita: la cartella del programma)")
      ->check(non_vuota());
  k.controlla->add_option("--json", k.oc.json, "Scrive anche il risultato in JSON (UTF-8) in questo file")
      ->check(non_vuota());
  k.controlla->add_option("--errori-csv", k.oc.errori_csv,
                          "Scrive anche gli errori in CSV (per Excel: UTF-8, \";\") in questo file")
      ->check(non_vuota());
  k.controlla->add_option("FILE", k.oc.file, "File dati da controllare")->required();
}

void dichiara_lotto(CLI::App& app, Comandi& k) {
  k.lotto = comando(app, "lotto",
                    "Controlla molti file dati, alcuni alla volta: per ciascuno report e risultato JSON nella "
                    "cartella di uscita, e riepilogo.csv. Uscita: 0 tutti corretti, 2 almeno uno non controllato, "
                    "130 o 143 se interrotto, altrimenti 1");
  k.lotto->add_option("--cartella", k.cartella_l, "Cartella dell'applicazione: tabelle (predefinita: la cartella del programma)")
      ->check(non_vuota());
  k.lotto->add_option("--uscita", k.uscita_l, "Cartella dei report, dei risultati e del riepilogo (creata se manca)")
      ->required()
      ->check(non_vuota());
  k.lotto->add_option("--processi", k.ol.processi, "File controllati alla volta (predefinito: uno per core)")
      ->check(numero_tra(1, 256));
  k.lotto->add_option("PERCORSO", k.ol.percorsi, "File dati o cartelle (i loro file *.txt e senza estensione)")
      ->required();
}

void dichiara_registra(CLI::App& app, Comandi& k) {
  k.registra = comando(app, "registra",
                       "Aggiunge una struttura a strutture.DAT, con le stesse regole della finestra di inserimento");
  k.registra->add_option("--cartella", k.cartella_r, "Cartella dell'applicazione (predefinita: la cartella del programma)")
      ->check(non_vuota());
  k.registra->add_option("CODICE", k.orr.codice, "Codice struttura: solo cifre, al massimo 6")->required();
  k.registra->add_option("DENOMINAZIONE", k.orr.denominazione,
                         "Denominazione: al massimo 30 caratteri, senza cifre , - . / e virgolette")
      ->required();
  k.registra->add_option("BRANCA", k.orr.branca1, "Codice branca: solo cifre, al massimo 2")->required();
  k.registra->add_option("BRANCA2", k.orr.branca2, "Secondo codice branca (facoltativo)");
  k.registra->add_option("BRANCA3", k.orr.branca3, "Terzo codice branca (facoltativo)");
}

void dichiara_tabelle(CLI::App& app, Comandi& k) {
  auto* tabelle = comando(app, "tabelle", "Costruisce o mostra le tabelle di riferimento");
  tabelle->require_subcommand(1);
  k.costruisci = comando(*tabelle, "costruisci",
                         "Costruisce tutte le tabelle (.DAT) dai file CSV della cartella SORGENTI nella cartella DEST");
  k.costruisci->add_option("SORGENTI", k.sorgenti, "Cartella dei file CSV")->required();
  k.costruisci->add_option("DEST", k.dest, "Cartella in cui scrivere le tabelle")->required();
  k.mostra = comando(*tabelle, "mostra", "Stampa una tabella come CSV");
  k.mostra->add_option("FILE", k.file_tabella, "La tabella (.DAT)")->required();
}

// Runs the command the parser found.
int esegui_comando(Comandi& k) {
  using namespace flussom;
  auto cartella = [](const std::string& s) { return s.empty() ? cartella_eseguibile() : percorso_utf8(s); };
  OrologioSistema orologio;
  if (k.controlla->parsed()) {
    k.oc.cartella = cartella(k.cartella_c);
    k.oc.interattivo = e_terminale(stdin);
    k.oc.avanzamento = e_terminale(stderr);
    return comando_controlla(k.oc, orologio, std::cin, std::cout, std::cerr);
  }
  if (k.lotto->parsed()) {
    k.ol.cartella = cartella(k.cartella_l);
    k.ol.uscita = percorso_utf8(k.uscita_l);
    k.ol.avanzamento = e_terminale(stderr);
    k.ol.interruzione = &intercetta_interruzione();
    return comando_lotto(k.ol, orologio, std::cout, std::cerr);
  }
  if (k.registra->parsed()) {
    k.orr.cartella = cartella(k.cartella_r);
    return comando_registra(k.orr, std::cout, std::cerr);
  }
  if (k.costruisci->parsed())
    return tabelle_costruisci(percorso_utf8(k.sorgenti), percorso_utf8(k.dest), std::cout, std::cerr);
  if (k.mostra->parsed()) return tabelle_mostra(percorso_utf8(k.file_tabella), std::cout, std::cerr);
  return 2;
}

}  // namespace

int esegui(int argc, char** argv) {
  CLI::App app{"flussom: controllo dei file dati del Flusso M (prestazioni specialistiche ambulatoriali)",
               "flussom"};
  italiano(app);
  app.set_version_flag("--version", "flussom " FLUSSOM_VERSIONE, "Mostra la versione ed esce");
  // A path is a path on every platform: "/tmp/x" is never a Windows-style option.
  app.allow_windows_style_options(false);
  app.require_subcommand(1);
  app.fallthrough(false);
  Comandi k;
  dichiara_controlla(app, k);
  dichiara_lotto(app, k);
  dichiara_registra(app, k);
  dichiara_tabelle(app, k);
  flussom::prepara_flussi_standard();
  if (const int stato = analizza(app, argc, argv); stato >= 0) return stato;
  return esegui_comando(k);
}

int main(int argc, char** argv) {
  // No exception leaves the program: whatever escapes a command ends it with a message.
  try {
    return chiudi_uscita(esegui(argc, argv));
  } catch (const std::bad_alloc&) {
    std::fputs("flussom: memoria insufficiente, nessun esito\n", stderr);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "flussom: errore imprevisto, nessun esito: %s\n", e.what());
  } catch (...) {
    std::fputs("flussom: errore imprevisto, nessun esito\n", stderr);
  }
  return 2;
}
