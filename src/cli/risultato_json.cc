#include "cli/risultato_json.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>

#include "base/cp1252.h"

namespace flussom {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

namespace {

json messaggio(const MessaggioReport& m) {
  json campi = json::array();
  const InsiemeCampi insieme = campi_regola(m.regola);
  for (std::size_t i = 0; i < numero_campi; ++i)
    if (insieme & bit(static_cast<CampoRiga>(i))) campi.push_back(nome_campo(static_cast<CampoRiga>(i)));
  return {{"testo", cp1252_a_utf8(m.testo)},
          {"riga", m.riga > 0 ? json(m.riga) : json(nullptr)},
          {"regola", identificatore(m.regola)},
          {"campi", std::move(campi)}};
}

json messaggi(const std::vector<MessaggioReport>& elenco) {
  json a = json::array();
  for (const MessaggioReport& m : elenco) a.push_back(messaggio(m));
  return a;
}

json riepilogo(const TotaliVerifica& t) {
  const double prestazioni = t.nprestazioni;
  return {{"ricette", t.nricette},
          {"record", t.nrec - 1},
          {"prestazioni", prestazioni == std::floor(prestazioni) ? json(static_cast<long long>(prestazioni))
                                                                   : json(prestazioni)},
          {"totale_centesimi", centesimi(t.tot_ticket + t.tot_netto)},
          {"ticket_centesimi", centesimi(t.tot_ticket)},
          {"netto_centesimi", centesimi(t.tot_netto)},
          {"sconto_centesimi", centesimi(t.tot_sconto)},
          {"netto_scontato_centesimi", centesimi(t.tot_netto - t.tot_sconto)}};
}

std::string data_iso(std::chrono::year_month_day d) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d-%02u-%02u", static_cast<int>(d.year()), static_cast<unsigned>(d.month()),
                static_cast<unsigned>(d.day()));
  return buf;
}

}  // namespace

const char* nome_esito(EsitoRun esito) {
  switch (esito) {
    case EsitoRun::corretto: return "corretto";
    case EsitoRun::con_errori: return "errori";
    case EsitoRun::mese_non_definito: return "mese_non_definito";
    case EsitoRun::lunghezza_errata: return "lunghezza_errata";
    case EsitoRun::struttura_non_trovata: return "struttura_non_trovata";
    default: return "non_controllato";
  }
}

int stato_uscita(EsitoRun esito) {
  switch (esito) {
    case EsitoRun::corretto:
      return 0;
    case EsitoRun::con_errori:
    case EsitoRun::mese_non_definito:
    case EsitoRun::lunghezza_errata:
    case EsitoRun::struttura_non_trovata:
      return 1;
    default:
      return 2;
  }
}

long long centesimi(double euro) { return std::llround(euro * 100); }

std::string risultato_json(const DatiRisultato& d) {
  const RisultatoRun& r = d.run;
  json blocchi = json::array();
  for (const BloccoReport& b : d.report.blocchi())
    blocchi.push_back({{"numero", b.numero},
                       {"ricetta", cp1252_a_utf8(b.ricetta)},
                       {"righe", {{"prima", b.prima_riga}, {"ultima", b.ultima_riga}}},
                       {"messaggi", messaggi(b.messaggi)}});
  json doc = {
      {"formato", 1},
      {"versione", FLUSSOM_VERSIONE},
      {"file", d.file},
      {"controllato_il", data_iso(d.giorno)},
      {"struttura", r.codice_struttura.empty()
                        ? json(nullptr)
                        : json{{"codice", cp1252_a_utf8(r.codice_struttura)},
                               {"denominazione", cp1252_a_utf8(r.denominazione_struttura)}}},
      {"mese", r.mese >= 1 && r.mese <= 12 ? json(r.mese) : json(nullptr)},
      {"esito", nome_esito(r.esito)},
      {"riepilogo", r.esito == EsitoRun::corretto ? riepilogo(r.totali) : json(nullptr)},
      {"errori", std::move(blocchi)},
      {"messaggi_fuori_blocco", messaggi(d.report.fuori_blocco())},
  };
  // A file name that is not UTF-8 is shown with replacement characters, never refused.
  return doc.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

bool scrivi_file_intero(const fs::path& percorso, const std::string& testo, std::string& errore) {
  fs::path temporaneo = percorso;
  temporaneo += ".tmp";
  {
    std::ofstream out(temporaneo, std::ios::binary | std::ios::trunc);
    if (out) out.write(testo.data(), static_cast<std::streamsize>(testo.size()));
    if (out) out.close();
    if (!out) {
      errore = std::strerror(errno);
      std::error_code ec;
      fs::remove(temporaneo, ec);
      return false;
    }
  }
  std::error_code ec;
  fs::rename(temporaneo, percorso, ec);
  if (ec) {
    errore = ec.message();
    fs::remove(temporaneo, ec);
    return false;
  }
  return true;
}

}  // namespace flussom
