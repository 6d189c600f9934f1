#include "cli/lotto.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>

#include "base/cp1252.h"
#include "cli/comandi.h"
#include "cli/interfaccia_terminale.h"
#include "base/file_intero.h"
#include "risultati/riepilogo_csv.h"

namespace flussom {

namespace fs = std::filesystem;

namespace {

// The window's pattern "*.txt;*.": the extension txt in any letter case, or none at all.
bool file_dati(const fs::path& p) {
  const std::string nome = p.filename().string();
  const auto punto = nome.rfind('.');
  if (punto == std::string::npos || punto + 1 == nome.size()) return true;
  std::string ext = nome.substr(punto + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == "txt";
}

std::string minuscolo(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

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
    for (int n = 2; !presi.insert(minuscolo(nome)).second; ++n) nome = base + "_" + std::to_string(n);
    v.push_back({f, nome, {}, {}});
  }
  return v;
}

std::string riepilogo(const std::vector<Voce>& v) {
  std::string s = intestazione_riepilogo();
  for (const Voce& x : v) s += riga_riepilogo(testo_utf8(x.file), x.esito.run, x.esito.blocchi);
  return s;
}

void controlla_voce(Voce& v, const OpzioniLotto& o, const Orologio& orologio) {
  OpzioniControlla oc;
  oc.cartella = o.cartella;
  oc.file = testo_utf8(v.file);
  oc.json = testo_utf8(o.uscita / (v.nome + ".json"));
  oc.report = o.uscita / (v.nome + ".RPT");
  std::istringstream nessuna_risposta;
  std::ostringstream stato, messaggi;
  v.esito = controlla_file(oc, orologio, nessuna_risposta, stato, messaggi);
  v.messaggi = messaggi.str();
}

// Checks every file, `processi` at a time; each file's messages are told when it is done.
void controlla_tutti(std::vector<Voce>& v, const OpzioniLotto& o, const Orologio& orologio, std::ostream& err) {
  unsigned n = o.processi ? o.processi : std::max(1u, std::thread::hardware_concurrency());
  n = std::min<unsigned>(n, static_cast<unsigned>(v.size()));
  std::atomic<std::size_t> prossimo{0};
  std::mutex m;
  std::size_t fatti = 0;
  auto lavora = [&] {
    for (std::size_t i; (i = prossimo++) < v.size();) {
      controlla_voce(v[i], o, orologio);
      const std::lock_guard<std::mutex> l(m);
      ++fatti;
      if (o.avanzamento) err << '\r';
      std::istringstream righe(v[i].messaggi);
      for (std::string r; std::getline(righe, r);) err << testo_visibile(testo_utf8(v[i].file)) << ": " << r << '\n';
      if (o.avanzamento) err << "File controllati: " << fatti << " di " << v.size() << std::flush;
    }
  };
  std::vector<std::thread> fili;
  for (unsigned k = 1; k < n; ++k) fili.emplace_back(lavora);
  lavora();
  for (std::thread& t : fili) t.join();
  if (o.avanzamento) err << '\n';
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
      if (e.is_regular_file(ec) && file_dati(e.path())) dentro.push_back(e.path());
    std::sort(dentro.begin(), dentro.end(), [](const fs::path& a, const fs::path& b) {
      return minuscolo(a.filename().string()) < minuscolo(b.filename().string());
    });
    files.insert(files.end(), dentro.begin(), dentro.end());
  }
  return files;
}

int comando_lotto(const OpzioniLotto& o, const Orologio& orologio, std::ostream& out, std::ostream& err) {
  if (!avvisa_tabelle(o.cartella, err)) return 2;
  std::error_code ec;
  fs::create_directories(o.uscita, ec);
  if (!fs::is_directory(o.uscita, ec)) {
    err << "Impossibile creare la cartella di uscita " << testo_visibile(testo_utf8(o.uscita)) << '\n';
    return 2;
  }
  std::vector<fs::path> percorsi;
  for (const std::string& p : o.percorsi) percorsi.push_back(percorso_utf8(p));
  std::vector<Voce> v = voci(file_del_lotto(percorsi));
  if (v.empty()) {
    err << "Nessun file dati trovato: nessun controllo eseguito\n";
    return 2;
  }
  controlla_tutti(v, o, orologio, err);
  std::string motivo;
  const fs::path csv = o.uscita / "riepilogo.csv";
  if (!scrivi_file_intero(csv, riepilogo(v), motivo)) {
    err << "Impossibile scrivere " << testo_visibile(testo_utf8(csv)) << " : " << motivo << '\n';
    return 2;
  }
  int stato = 0;
  for (const Voce& x : v) stato = std::max(stato, x.esito.stato);
  out << "File controllati: " << v.size() << ", riepilogo in " << testo_visibile(testo_utf8(csv)) << '\n';
  return stato;
}

}  // namespace flussom
