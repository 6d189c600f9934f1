#include "cli/lotto.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "base/cp1252.h"
#include "base/file_intero.h"
#include "base/file_sicuro.h"
#include "base/piattaforma.h"
#include "base/testo.h"
#include "cli/comandi.h"
#include "cli/interfaccia_terminale.h"
#include "cli/lavori_paralleli.h"
#include "risultati/riepilogo_csv.h"
#include "risultati/risultato_json.h"

namespace flussom {

namespace fs = std::filesystem;

namespace {


struct Voce {
  fs::path file;
  std::string nome;  // of its outputs: the file name, made unique in the batch
  EsitoControllo esito;
  std::string messaggi;
};

// Output names unique whatever the letter case (Windows does not tell them apart): a
// second FLM10.txt becomes FLM10.txt_2.
std::vector<Voce> voci(const std::vector<fs::path>& files) {
  std::vector<Voce> v;
  std::set<std::string> presi = {"riepilogo.csv"};
  for (const fs::path& f : files) {
    const std::string base = testo_utf8(f.filename());
    std::string nome = base;
    for (int n = 2; !presi.insert(minuscolo_ascii(nome)).second; ++n) nome = base + "_" + std::to_string(n);
    v.push_back({f, nome, {}, {}});
  }
  return v;
}

std::string riepilogo(const std::vector<Voce>& v) {
  std::string s = intestazione_riepilogo();
  for (const Voce& x : v) s += riga_riepilogo(testo_utf8(x.file), x.esito.run, x.esito.blocchi);
  return s;
}

fs::path report_di(const OpzioniLotto& o, const Voce& v) { return o.uscita / (v.nome + ".RPT"); }
fs::path json_di(const OpzioniLotto& o, const Voce& v) { return o.uscita / (v.nome + ".json"); }
fs::path csv_di(const OpzioniLotto& o) { return o.uscita / "riepilogo.csv"; }

bool interrotto(const OpzioniLotto& o) { return o.interruzione && o.interruzione->chiesta.load(); }

// What stands at an output's name goes (a link: the link itself), a folder never. False,
// with the reason, when something there could not be removed.
bool rimuovi_uscita(const fs::path& p, std::string& motivo) {
  std::error_code ec;
  if (fs::symlink_status(p, ec).type() == fs::file_type::directory) return true;
  if (fs::remove(p, ec) || !ec) return true;
  motivo = testo_errore(ec);
  return false;
}

// The files no output of the batch may take the place of: the application folder's own,
// and every data file of the batch, looked up by the name they end with.
class Protetti {
 public:
  Protetti(const OpzioniLotto& o, const std::vector<Voce>& v)
      : cartella_(file_protetti(ParametriRun{{}, o.cartella})) {
    for (const Voce& x : v) dati_.emplace(chiave(x.file), x.file);
  }

  // Why `uscita` cannot be written (Windows-1252); empty when it can.
  std::string rifiutata(const fs::path& uscita) const {
    std::vector<fs::path> p = cartella_;
    for (auto [a, b] = dati_.equal_range(chiave(uscita)); a != b; ++a) p.push_back(a->second);
    return destinazione_rifiutata(uscita, p);
  }

 private:
  // Two names of one file end alike once links are followed; in lower case, for the
  // systems that ignore letter case. (destinazione_rifiutata then compares exactly.)
  static std::string chiave(const fs::path& p) {
    return minuscolo_ascii(testo_utf8(percorso_risolto(p).filename()));
  }

  std::vector<fs::path> cartella_;
  std::multimap<std::string, fs::path> dati_;
};

// The refusals that come before anything is checked or written; false when told on `err`.
bool lotto_ammesso(const OpzioniLotto& o, const std::vector<Voce>& v, std::ostream& err) {
  const bool applicazione =
      stesso_nome(percorso_risolto(o.uscita), percorso_risolto(o.cartella)) || stesso_file(o.uscita, o.cartella);
  if (applicazione) {
    err << "La cartella di uscita " << testo_visibile(testo_utf8(o.uscita))
        << " \xC3\xA8 la cartella dell'applicazione, dove i report prenderebbero il posto dei suoi file: "
           "nessun controllo eseguito\n";
    return false;
  }
  const Protetti protetti(o, v);
  std::vector<fs::path> uscite = {csv_di(o)};
  for (const Voce& x : v) uscite.insert(uscite.end(), {report_di(o, x), json_di(o, x)});
  for (const fs::path& u : uscite) {
    if (const std::string motivo = protetti.rifiutata(u); !motivo.empty()) {
      err << "Il file " << testo_visibile(testo_utf8(u)) << " non pu\xC3\xB2 essere scritto: "
          << cp1252_a_utf8(motivo) << ". Nessun controllo eseguito\n";
      return false;
    }
  }
  return true;
}

// The output folder made, and the old summary gone: until the new one is written whole,
// none stands. The outputs of the batch's files go too, so the folder never mixes them with
// those of another batch.
bool prepara_uscita(const OpzioniLotto& o, const std::vector<Voce>& v, std::ostream& err) {
  std::error_code ec;
  fs::create_directories(o.uscita, ec);
  if (!fs::is_directory(o.uscita, ec)) {
    err << "Impossibile creare la cartella di uscita " << testo_visibile(testo_utf8(o.uscita)) << '\n';
    return false;
  }
  std::string motivo;
  if (!rimuovi_uscita(csv_di(o), motivo)) {
    err << "Impossibile rimuovere il vecchio " << testo_visibile(testo_utf8(csv_di(o))) << " : "
        << cp1252_a_utf8(motivo) << '\n';
    return false;
  }
  for (const Voce& x : v) {
    rimuovi_uscita(report_di(o, x), motivo);
    rimuovi_uscita(json_di(o, x), motivo);
  }
  return true;
}

void controlla_voce(Voce& v, const OpzioniLotto& o, const Orologio& orologio, bool un_core) {
  OpzioniControlla oc;
  if (un_core) oc.pezzo = 0;  // the batch already keeps the cores busy
  oc.cartella = o.cartella;
  oc.file = testo_utf8(v.file);
  oc.json = testo_utf8(json_di(o, v));
  oc.report = report_di(o, v);
  oc.avvisi = false;  // told once for the whole batch
  if (o.interruzione) oc.interrompi = &o.interruzione->chiesta;
  std::istringstream nessuna_risposta;
  std::ostringstream stato, messaggi;
  v.esito = controlla_file(oc, orologio, nessuna_risposta, stato, messaggi);
  v.messaggi = messaggi.str();
}

// After a check that did not end well (its result not written, an exception, an
// interruption) neither output stands: what the check left is removed.
void concludi_voce(Voce& v, const OpzioniLotto& o, const std::string& eccezione) {
  if (!eccezione.empty()) {
    v.esito = {};
    v.messaggi += "Controllo non eseguito: " + eccezione + "\n";
  }
  if (v.esito.stato != 2) return;
  std::string motivo;
  rimuovi_uscita(report_di(o, v), motivo);
  rimuovi_uscita(json_di(o, v), motivo);
  // A run that made its report, but whose result could not be written, counts as not checked.
  if (stato_uscita(v.esito.run.esito) != 2) v.esito.run.esito = EsitoRun::report_non_scrivibile;
}

// Checks every file, `processi` at a time; each file's messages are told when it is done.
// Returns how many were checked to the end.
std::size_t controlla_tutti(std::vector<Voce>& v, const OpzioniLotto& o, const Orologio& orologio,
                            std::ostream& err) {
  const unsigned n = o.processi ? o.processi : std::max(1u, std::thread::hardware_concurrency());
  std::size_t fatti = 0;
  lavori_paralleli(
      v.size(), n, o.interruzione ? &o.interruzione->chiesta : nullptr,
      [&](std::size_t i) { controlla_voce(v[i], o, orologio, n > 1 && v.size() > 1); },
      [&](std::size_t i, const std::string& eccezione) {
        concludi_voce(v[i], o, eccezione);
        if (v[i].esito.run.esito == EsitoRun::interrotto) return;
        ++fatti;
        if (o.avanzamento) err << '\r';
        std::istringstream righe(v[i].messaggi);
        for (std::string r; std::getline(righe, r);)
          err << testo_visibile(testo_utf8(v[i].file)) << ": " << r << '\n';
        if (o.avanzamento) err << "File controllati: " << fatti << " di " << v.size() << std::flush;
      });
  if (o.avanzamento) err << '\n';
  return fatti;
}

}  // namespace

std::vector<fs::path> file_del_lotto(const std::vector<fs::path>& percorsi) {
  std::vector<fs::path> files;
  for (const fs::path& p : percorsi) {
    std::error_code ec;
    if (!fs::is_directory(p, ec)) {
      files.push_back(p);
      continue;
    }
    std::vector<fs::path> dentro;
    for (const fs::directory_entry& e : fs::directory_iterator(p, ec))
      if (e.is_regular_file(ec) && nome_file_dati(e.path().filename().string())) dentro.push_back(e.path());
    std::sort(dentro.begin(), dentro.end(), [](const fs::path& a, const fs::path& b) {
      return minuscolo_ascii(a.filename().string()) < minuscolo_ascii(b.filename().string());
    });
    files.insert(files.end(), dentro.begin(), dentro.end());
  }
  return files;
}

int comando_lotto(const OpzioniLotto& o, const Orologio& orologio, std::ostream& out, std::ostream& err) {
  if (std::find(o.percorsi.begin(), o.percorsi.end(), "") != o.percorsi.end()) {
    err << "Un PERCORSO vuoto non indica alcun file: nessun controllo eseguito\n";
    return 2;
  }
  if (!avvisa_tabelle(o.cartella, err)) return 2;
  std::vector<fs::path> percorsi;
  for (const std::string& p : o.percorsi) percorsi.push_back(percorso_utf8(p));
  std::vector<Voce> v = voci(file_del_lotto(percorsi));
  if (v.empty()) {
    err << "Nessun file dati trovato: nessun controllo eseguito\n";
    return 2;
  }
  if (!lotto_ammesso(o, v, err) || !prepara_uscita(o, v, err)) return 2;
  const std::size_t fatti = controlla_tutti(v, o, orologio, err);
  if (interrotto(o)) {
    err << "Lotto interrotto: file controllati " << fatti << " di " << v.size()
        << ", nessun riepilogo scritto\n";
    return o.interruzione->stato.load();
  }
  std::string motivo;
  if (!scrivi_file_intero(csv_di(o), riepilogo(v), motivo)) {
    err << "Impossibile scrivere " << testo_visibile(testo_utf8(csv_di(o))) << " : " << cp1252_a_utf8(motivo)
        << '\n';
    return 2;
  }
  int stato = 0;
  for (const Voce& x : v) stato = std::max(stato, x.esito.stato);
  out << "File controllati: " << v.size() << ", riepilogo in " << testo_visibile(testo_utf8(csv_di(o))) << '\n';
  return stato;
}

}  // namespace flussom
