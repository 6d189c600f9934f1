// libFuzzer target: one whole check run over a fuzzed data file, against the fixed tables
// of the application folder. Besides the sanitizers, every run must leave the tables and
// the data file as they were, read exactly the lines the file holds, write a report whose
// every line ends in CR LF, a JSON result that is valid and agrees with the report, and a
// table of the errors with a row for each of the JSON's messages; and the same file cut into
// small pieces checked at once must give the same report and result, to the last bit.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <tuple>

#include <nlohmann/json.hpp>

#include "ambiente.h"
#include "risultati/errori_csv.h"
#include "risultati/riepilogo_csv.h"
#include "risultati/risultato_json.h"
#include "run/importa.h"

namespace fs = std::filesystem;
using namespace flussom;
using namespace flussom::fuzz;

namespace {

// The run's events with the report's lines handed to the JSON writer and the errors' table.
class ConRisultati : public InterfacciaMuta {
 public:
  ConRisultati(ScrittoreJson& json, ScrittoreErroriCsv& csv) : json_(json), csv_(csv) {}
  void riga_report(const RigaReport& r) override {
    json_.riga_report(r);
    csv_.riga_report(r);
  }

 private:
  ScrittoreJson& json_;
  ScrittoreErroriCsv& csv_;
};

// The JSON result must be a valid document that tells the run's outcome and has one block
// for every numbered line of the report. Returns how many messages it holds.
std::size_t controlla_json(const std::string& testo, const RisultatoRun& r, const std::string& report) {
  nlohmann::json doc;
  try {
    doc = nlohmann::json::parse(testo);
  } catch (const std::exception& e) {
    guasto(std::string("JSON non valido: ") + e.what());
  }
  if (doc["esito"] != nome_esito(r.esito)) guasto("esito del JSON diverso da quello del run");
  std::size_t numerate = 0;
  // A numbered line: the block's number, a blank, 60 dots (a ricetta number may hold anything).
  const std::string punti = " " + std::string(60, '.') + " Ricetta Nr   ";
  for (std::size_t i = 0; i < report.size();) {
    std::size_t fine = report.find("\r\n", i);
    if (fine == std::string::npos) fine = report.size();
    const std::string_view riga = std::string_view(report).substr(i, fine - i);
    const std::size_t cifre = riga.find_first_not_of("0123456789");
    if (cifre > 0 && cifre != std::string_view::npos && riga.substr(cifre).starts_with(punti)) ++numerate;
    i = fine + 2;
  }
  if (doc["errori"].size() != numerate)
    guasto("blocchi del JSON diversi dalle righe numerate del report: " + std::to_string(doc["errori"].size()) + " / " +
           std::to_string(numerate));
  if ((r.esito == EsitoRun::corretto) != doc["riepilogo"].is_object()) guasto("riepilogo del JSON fuori posto");
  std::size_t messaggi = doc["messaggi_fuori_blocco"].size();
  for (const auto& b : doc["errori"]) {
    messaggi += b["messaggi"].size();
    for (const auto& m : b["messaggi"])
      if (m["riga"].is_number() && (m["riga"] < b["righe"]["prima"] || m["riga"] > b["righe"]["ultima"]))
        guasto("messaggio su una riga fuori dalle righe del suo blocco");
  }
  return messaggi;
}

bool stessi_bit(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

// The run of the file in pieces of a size the input picks gives the report and the result of
// the run line by line.
void confronta_pezzi(const Ambiente& a, const fs::path& file, std::size_t size, const RisultatoRun& r,
                     const std::string& report) {
  ParametriRun par{file, a.cartella};
  par.pezzo = 64 + size % 512;
  InterfacciaMuta muta;
  const RisultatoRun p = importa(par, muta, orologio_fisso());
  if (leggi(a.cartella / "errori.RPT") != report) guasto("report dei pezzi diverso da quello riga per riga");
  const TotaliVerifica &t = p.totali, &u = r.totali;
  if (p.esito != r.esito || p.errori_nel_report != r.errori_nel_report ||
      std::tie(t.nrec, t.nrighe, t.nricette, t.nric_errate) != std::tie(u.nrec, u.nrighe, u.nricette, u.nric_errate) ||
      !stessi_bit(t.nprestazioni, u.nprestazioni) || !stessi_bit(t.tot_ticket, u.tot_ticket) ||
      !stessi_bit(t.tot_netto, u.tot_netto) || !stessi_bit(t.tot_sconto, u.tot_sconto))
    guasto("risultato dei pezzi diverso da quello riga per riga");
}

bool righe_crlf(std::string_view s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r' && (i + 1 == s.size() || s[i + 1] != '\n')) return false;
    if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r')) return false;
  }
  return s.empty() || s.back() == '\n';
}

bool finisce_con(std::string_view s, std::string_view fine) {
  return s.size() >= fine.size() && s.substr(s.size() - fine.size()) == fine;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Ambiente& a = ambiente();
  const std::string_view ingresso(reinterpret_cast<const char*>(data), size);
  const fs::path file = a.dati / "FLM102026.txt";
  scrivi(file, ingresso);

  std::string json;
  ScrittoreJson scrittore("FLM102026.txt", orologio_fisso().oggi(), [&](std::string_view t) {
    json.append(t);
    return true;
  });
  std::string csv;
  ScrittoreErroriCsv tabella([&](std::string_view t) {
    csv.append(t);
    return true;
  });
  ConRisultati ui(scrittore, tabella);
  ParametriRun par{file, a.cartella};
  par.pezzo = 0;
  const RisultatoRun r = importa(par, ui, orologio_fisso());
  scrittore.concludi(r);
  tabella.concludi();
  const bool risu = r.errori_nel_report;
  const std::string esito = nome_esito(r.esito);

  if (leggi(file) != ingresso) guasto("il file dati e' cambiato");
  std::size_t voci = 0;
  for (const auto& e : fs::directory_iterator(a.cartella)) {
    const std::string nome = e.path().filename().string();
    ++voci;
    if (nome == "errori.RPT" || nome == "errori.RPT.lck") continue;
    std::size_t k = 0;
    while (k < nomi_tabelle.size() && nome != nomi_tabelle[k]) ++k;
    if (k == nomi_tabelle.size()) guasto("file inatteso nella cartella: " + nome);
    if (fs::file_size(e.path()) != a.contenuti[k].size()) guasto("tabella cambiata: " + nome);
  }
  if (voci != nomi_tabelle.size() + 2) guasto("tabelle, report o blocco mancanti");

  const std::string report = leggi(a.cartella / "errori.RPT");
  if (!righe_crlf(report)) guasto("riga del report senza CR LF (" + esito + ")");
  const std::size_t messaggi = controlla_json(json, r, report);
  controlla_csv(riga_riepilogo(ingresso.substr(0, 64), r, scrittore.blocchi()), 1, 14);
  const std::string_view bom = "\xEF\xBB\xBF";
  if (!csv.starts_with(bom)) guasto("tabella degli errori senza BOM");
  controlla_csv(std::string_view(csv).substr(bom.size()), messaggi + 1, 6);

  const auto righe = static_cast<std::int64_t>(conta_righe(ingresso));
  switch (r.esito) {
    case EsitoRun::corretto:
    case EsitoRun::con_errori:
      if (r.totali.nrec != righe + 1) guasto("righe lette diverse da quelle del file (" + esito + ")");
      if (r.totali.nrighe != righe) guasto("nrighe diverso dalle righe del file");
      if ((r.esito == EsitoRun::con_errori) != risu) guasto("verdetto e risu discordi");
      if (risu && !finisce_con(report, "\r\nData controllo : 06/12/2026\r\n"))
        guasto("report con errori senza data di controllo");
      if (!risu && !finisce_con(report, "Elenco errori riscontrati \r\n\r\n"))
        guasto("report di un file corretto con righe d'errore");
      break;
    case EsitoRun::lunghezza_errata:
      if (risu || !finisce_con(report, " Lunghezza file errata \r\n"))
        guasto("fine per lunghezza errata senza la sua riga");
      if (r.totali.nrec > righe) guasto("fine per lunghezza oltre la fine del file");
      break;
    case EsitoRun::struttura_non_trovata:
      if (r.totali.nrec > righe) guasto("fine per struttura oltre la fine del file");
      break;
    default:
      guasto("esito inatteso: " + esito);
  }
  confronta_pezzi(a, file, size, r, report);
  return 0;
}
