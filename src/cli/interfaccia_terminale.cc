#include "cli/interfaccia_terminale.h"

#include <cctype>
#include <cstdio>
#include <istream>
#include <ostream>

#include "base/cp1252.h"
#include "base/testo.h"
#include "model/strutture.h"
#include "cli/registrazione.h"

namespace flussom {

std::string testo_visibile(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  char buf[12];
  while (!s.empty()) {
    char32_t cp = 0;
    std::size_t n = sequenza_utf8(s, cp);
    if (n == 0) {
      std::snprintf(buf, sizeof buf, "\\x%02x", static_cast<unsigned char>(s[0]));
      out += buf;
      n = 1;
    } else if (cp == '\n' || cp == '\r' || cp == '\t') {
      out += cp == '\n' ? "\\n" : cp == '\r' ? "\\r" : "\\t";
    } else if (cp < 0x20 || cp == 0x7F) {
      std::snprintf(buf, sizeof buf, "\\x%02x", static_cast<unsigned>(cp));
      out += buf;
    } else if (cp >= 0x80 && cp <= 0x9F) {
      std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(cp));
      out += buf;
    } else {
      out.append(s.substr(0, n));
    }
    s.remove_prefix(n);
  }
  return out;
}

InterfacciaTerminale::InterfacciaTerminale(std::filesystem::path cartella, std::istream& in,
                                           std::ostream& err, bool interattivo)
    : cartella_(std::move(cartella)), in_(in), err_(err), interattivo_(interattivo) {}

void InterfacciaTerminale::riga_stato(std::string_view riga) {
  stato_.append("\r\n");
  stato_.append(riga);
}

void InterfacciaTerminale::intervallo_progresso(std::int64_t, std::int64_t massimo) {
  massimo_ = massimo;
  ultimo_percento_ = -1;
}

void InterfacciaTerminale::progresso(std::int64_t valore) {
  if (!avanzamento_ || massimo_ <= 0 || valore > massimo_) return;
  const int percento = static_cast<int>(valore * 100 / massimo_);
  if (percento == ultimo_percento_) return;
  ultimo_percento_ = percento;
  err_ << "\rControllo in corso: " << percento << "%" << (percento == 100 ? "\n" : "") << std::flush;
}

void InterfacciaTerminale::avviso(std::string_view testo) {
  if (avvisi_) err_ << testo_visibile(cp1252_a_utf8(testo)) << '\n';
}

void InterfacciaTerminale::messaggio(std::string_view testo) {
  if (avanzamento_ && ultimo_percento_ >= 0 && ultimo_percento_ < 100) err_ << '\n';
  err_ << testo_visibile(cp1252_a_utf8(testo)) << '\n';
}

bool InterfacciaTerminale::chiedi(const std::string& domanda, std::string& risposta) {
  err_ << domanda << std::flush;
  if (!std::getline(in_, risposta)) {
    err_ << '\n';
    return false;
  }
  if (!risposta.empty() && risposta.back() == '\r') risposta.pop_back();
  return true;
}

bool InterfacciaTerminale::domanda(std::string_view testo) {
  const std::string d = cp1252_a_utf8(testo);
  if (!interattivo_) {
    err_ << d << "(risposta: No)\n";
    return false;
  }
  for (;;) {
    std::string r;
    if (!chiedi(d + "[s/n] ", r)) return false;
    r = minuscolo_ascii(r);
    if (r == "s" || r == "si" || r == "s\xC3\xAC" || r == "y" || r == "yes") return true;
    if (r == "n" || r == "no") return false;
  }
}

EsitoRegistrazione InterfacciaTerminale::registrazione_richiesta(std::string_view codstru) {
  if (!interattivo_) return EsitoRegistrazione::chiusa;
  err_ << "Inserimento Dati Struttura (riga vuota: valore proposto o campo vuoto)\n";
  DatiStruttura dati;
  std::string errore;
  // Asks one box until its value is accepted; false when the input ends.
  auto chiedi_campo = [&](const std::string& etichetta, const std::string& proposto, auto valida,
                          std::string& dest) {
    for (;;) {
      std::string r;
      const std::string prompt =
          etichetta + (proposto.empty() ? "" : " [" + cp1252_a_utf8(proposto) + "]") + ": ";
      if (!chiedi(prompt, r)) return false;
      if (r.empty()) r = cp1252_a_utf8(proposto);
      if (auto v = valida(r, errore)) {
        dest = *v;
        return true;
      }
      err_ << errore << '\n';
    }
  };
  const std::string proposto(codstru);
  const bool ok =
      chiedi_campo("Codice Struttura", proposto,
                   [](std::string_view v, std::string& e) { return valida_codice_struttura(v, true, e); },
                   dati.codice) &&
      chiedi_campo("Denominazione", "",
                   [](std::string_view v, std::string& e) { return valida_denominazione(v, e); },
                   dati.denominazione) &&
      chiedi_campo("Codice Branca", "",
                   [](std::string_view v, std::string& e) { return valida_branca(v, true, e); },
                   dati.branca1) &&
      chiedi_campo("Codice Branca 2", "",
                   [](std::string_view v, std::string& e) { return valida_branca(v, false, e); },
                   dati.branca2) &&
      chiedi_campo("Codice Branca 3", "",
                   [](std::string_view v, std::string& e) { return valida_branca(v, false, e); },
                   dati.branca3);
  if (!ok) return EsitoRegistrazione::chiusa;  // input ended: nothing written
  switch (flussom::registra_struttura(cartella_, dati, errore)) {
    case RegistrazioneStruttura::registrata:
      break;
    case RegistrazioneStruttura::gia_registrata:
      err_ << testo_visibile(cp1252_a_utf8(errore)) << '\n';
      break;
    case RegistrazioneStruttura::non_scritta:
      err_ << "Impossibile scrivere " << testo_visibile(testo_utf8(cartella_ / "strutture.DAT")) << " : "
           << testo_visibile(cp1252_a_utf8(errore)) << '\n';
      break;
  }
  return EsitoRegistrazione::chiusa;
}

void InterfacciaTerminale::stampa_stato(std::ostream& out) const {
  const std::string u = cp1252_a_utf8(stato_);
  std::size_t i = 0;
  while (i <= u.size()) {
    std::size_t j = u.find("\r\n", i);
    if (j == std::string::npos) j = u.size();
    out << std::string_view(u).substr(i, j - i) << '\n';
    i = j + 2;
  }
}

}  // namespace flussom
