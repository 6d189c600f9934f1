#include "cli/tabelle.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "base/cp1252.h"
#include "reference/costruisci_tabelle.h"
#include "reference/descrittori_tabelle.h"
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
  ErroreSorgente rifiuto;
  if (!leggi_sorgenti(sorgenti, s, rifiuto)) {
    stampa_errore(err, rifiuto);
    err << "Nessuna tabella scritta.\n";
    return 2;
  }
  if (s.empty()) {
    err << "Nessuna sorgente in " << testo_utf8(sorgenti) << ": attese ";
    for (const std::string_view nome : sorgenti_tabelle())
      err << (nome == sorgenti_tabelle().front() ? "" : ", ") << nome;
    err << ".\n";
    return 2;
  }
  std::vector<FileTabella> tabelle;
  if (!costruisci_tabelle(s, tabelle, rifiuto)) {
    stampa_errore(err, rifiuto);
    err << "Nessuna tabella scritta.\n";
    return 2;
  }
  if (ErroreScrittura e; !scrivi_tabelle(tabelle, dest, e)) {
    err << "Errore: " << cp1252_a_utf8(e.motivo) << '\n';
    if (e.stato.empty()) {
      err << "Nessuna tabella sostituita.\n";
    } else {
      // Some old table could not be put back: what each file holds now.
      err << "Tabelle di " << testo_utf8(dest) << " rimaste in parte sostituite:\n";
      for (const std::string& riga : e.stato) err << "  " << cp1252_a_utf8(riga) << '\n';
    }
    return 2;
  }
  for (const FileTabella& t : tabelle) out << t.nome << ": " << t.record << " record\n";
  for (const std::string_view nome : sorgenti_tabelle()) {
    if (s.contains(nome)) continue;
    // "Manca prestazioni.csv: TERAPIE.DAT, TERA001.DAT e SCONTI.DAT non costruite."
    const std::vector<Tabella> tabelle = tabelle_di(nome);
    out << "Manca " << nome << ": ";
    for (std::size_t k = 0; k < tabelle.size(); ++k)
      out << (k == 0 ? "" : k + 1 == tabelle.size() ? " e " : ", ") << descrittore(tabelle[k]).nome;
    out << (tabelle.size() == 1 ? " non costruita.\n" : " non costruite.\n");
  }
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
