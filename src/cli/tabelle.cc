#include "cli/tabelle.h"

#include <ostream>
#include <string>
#include <string_view>

#include "base/cp1252.h"
#include "reference/costruisci_tabelle.h"
#include "reference/mostra_tabella.h"

namespace flussom {

namespace fs = std::filesystem;

namespace {

void stampa_errore(std::ostream& err, const ErroreSorgente& e) {
  err << "Errore in " << cp1252_a_utf8(e.file);
  if (e.riga > 0) err << ", riga " << e.riga;
  err << ": " << cp1252_a_utf8(e.motivo) << '\n';
}

}  // namespace

int tabelle_costruisci(const fs::path& sorgenti, const fs::path& dest, std::ostream& out,
                       std::ostream& err) {
  SorgentiTabelle s;
  if (std::optional<ErroreSorgente> e = leggi_sorgenti(sorgenti, s)) {
    stampa_errore(err, *e);
    err << "Nessuna tabella scritta.\n";
    return 2;
  }
  if (!s.prestazioni && !s.diagnosi && !s.comuni && !s.esenzioni && !s.noese) {
    err << "Nessuna sorgente in " << testo_utf8(sorgenti) << ": attese " << sorgente_prestazioni
        << ", " << sorgente_diagnosi << ", " << sorgente_comuni << ", " << sorgente_esenzioni
        << ", " << sorgente_noese << ".\n";
    return 2;
  }
  const EsitoCostruzione esito = costruisci_tabelle(s);
  if (esito.errore) {
    stampa_errore(err, *esito.errore);
    err << "Nessuna tabella scritta.\n";
    return 2;
  }
  if (const std::optional<ErroreScrittura> e = scrivi_tabelle(esito.tabelle, dest)) {
    err << "Errore: " << cp1252_a_utf8(e->motivo) << '\n';
    if (e->stato.empty()) {
      err << "Nessuna tabella sostituita.\n";
    } else {
      // Some old table could not be put back: what each file holds now.
      err << "Tabelle di " << testo_utf8(dest) << " rimaste in parte sostituite:\n";
      for (const std::string& riga : e->stato) err << "  " << cp1252_a_utf8(riga) << '\n';
    }
    return 2;
  }
  for (const FileTabella& t : esito.tabelle) out << t.nome << ": " << t.record << " record\n";
  struct Assente {
    const std::optional<std::string>& sorgente;
    std::string_view nome;
    std::string_view tabelle;
  };
  const Assente assenti[] = {
      {s.prestazioni, sorgente_prestazioni, "TERAPIE.DAT, TERA001.DAT e SCONTI.DAT non costruite"},
      {s.diagnosi, sorgente_diagnosi, "ICD9.DAT non costruita"},
      {s.comuni, sorgente_comuni, "COMUXX.DAT non costruita"},
      {s.esenzioni, sorgente_esenzioni, "CODESE.DAT non costruita"},
      {s.noese, sorgente_noese, "NOESE.DAT non costruita"},
  };
  for (const Assente& a : assenti)
    if (!a.sorgente) out << "Manca " << a.nome << ": " << a.tabelle << ".\n";
  out << "Tabelle scritte in " << testo_utf8(dest) << '\n';
  return 0;
}

int tabelle_mostra(const fs::path& file, std::ostream& out, std::ostream& err) {
  std::string csv, errore;
  if (!tabella_in_csv(file, csv, errore)) {
    err << "Errore: " << cp1252_a_utf8(errore) << '\n';
    return 2;
  }
  out << cp1252_a_utf8(csv);
  return 0;
}

}  // namespace flussom
