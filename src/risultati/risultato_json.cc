#include "risultati/risultato_json.h"

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "base/cp1252.h"

namespace flussom {

using json = nlohmann::ordered_json;

namespace {

// Texts that are not UTF-8 (a file's name) get replacement characters, never an exception.
std::string testo_json(const json& j, int rientro) {
  std::string s = j.dump(2, ' ', false, json::error_handler_t::replace);
  if (rientro == 0) return s;
  const std::string margine(static_cast<std::size_t>(rientro), ' ');
  std::string r = margine;
  for (char c : s) {
    r += c;
    if (c == '\n') r += margine;
  }
  return r;
}

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
          {"record", t.record()},
          {"prestazioni", prestazioni == std::floor(prestazioni) ? json(static_cast<long long>(prestazioni))
                                                                   : json(prestazioni)},
          {"totale_centesimi", centesimi(t.totale())},
          {"ticket_centesimi", centesimi(t.tot_ticket)},
          {"netto_centesimi", centesimi(t.tot_netto)},
          {"sconto_centesimi", centesimi(t.tot_sconto)},
          {"netto_scontato_centesimi", centesimi(t.netto_scontato())}};
}

std::string data_iso(std::chrono::year_month_day d) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d-%02u-%02u", static_cast<int>(d.year()), static_cast<unsigned>(d.month()),
                static_cast<unsigned>(d.day()));
  return buf;
}

// One member of the document's top level: `"chiave": value`.
std::string membro(const char* chiave, const json& valore) {
  return "  " + json(chiave).dump() + ": " + testo_json(valore, 2).substr(2);
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

ScrittoreJson::ScrittoreJson(std::string_view file, std::chrono::year_month_day giorno, Uscita uscita)
    : uscita_(std::move(uscita)) {
  scrivi("{\n" + membro("formato", 1) + ",\n" + membro("versione", FLUSSOM_VERSIONE) + ",\n" +
         membro("file", std::string(file)) + ",\n" + membro("controllato_il", data_iso(giorno)) +
         ",\n  \"errori\": [");
}

void ScrittoreJson::scrivi(std::string_view testo) {
  if (scritto_ && !uscita_(testo)) scritto_ = false;
}

void ScrittoreJson::riga_report(const RigaReport& r) {
  if (r.tipo == TipoRigaReport::messaggio) {
    in_attesa_.push_back({std::string(r.testo), r.riga, r.regola});
    return;
  }
  if (r.tipo != TipoRigaReport::blocco) return;
  std::int64_t prima = r.prima_riga, ultima = r.ultima_riga;
  estendi_righe(prima, ultima, in_attesa_);
  const json blocco = {{"numero", r.numero},
                       {"ricetta", cp1252_a_utf8(r.ricetta)},
                       {"righe", {{"prima", prima}, {"ultima", ultima}}},
                       {"messaggi", messaggi(in_attesa_)}};
  in_attesa_.clear();
  scrivi((blocchi_++ ? ",\n" : "\n") + testo_json(blocco, 4));
}

bool ScrittoreJson::concludi(const RisultatoRun& r) {
  const json struttura = r.codice_struttura.empty()
                             ? json(nullptr)
                             : json{{"codice", cp1252_a_utf8(r.codice_struttura)},
                                    {"denominazione", cp1252_a_utf8(r.denominazione_struttura)}};
  scrivi((blocchi_ ? "\n  ],\n" : "],\n") + membro("messaggi_fuori_blocco", messaggi(in_attesa_)) + ",\n" +
         membro("struttura", struttura) + ",\n" +
         membro("mese", r.mese >= 1 && r.mese <= 12 ? json(r.mese) : json(nullptr)) + ",\n" +
         membro("esito", nome_esito(r.esito)) + ",\n" +
         membro("riepilogo", r.esito == EsitoRun::corretto ? riepilogo(r.totali) : json(nullptr)) + "\n}\n");
  in_attesa_.clear();
  return scritto_;
}

}  // namespace flussom
