#include "check/riga_flusso.h"

#include <cmath>
#include <cstdlib>

#include "check/formato.h"
#include "check/testo.h"

namespace flussom {

std::string_view campo(std::string_view linea, std::size_t posizione, std::size_t lunghezza) {
  if (posizione == 0 || posizione > linea.size()) return {};
  return linea.substr(posizione - 1, lunghezza);
}

namespace {

void testo(std::string_view linea, std::size_t pos, std::size_t len, std::string& out) {
  out.assign(trim(campo(linea, pos, len)));
}

// Reads a text under the decimal-comma convention: an optional sign, digits with "." as a
// thousands separator anywhere in the whole part, optionally "," and digits, optionally an
// exponent. False when the text is anything else.
bool leggi_virgola(std::string_view t, double& v) {
  std::string n;
  n.reserve(t.size() + 1);
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) n.push_back(t[i++]);
  bool cifre = false;
  for (; i < t.size() && ((t[i] >= '0' && t[i] <= '9') || t[i] == '.'); ++i) {
    if (t[i] != '.') {
      n.push_back(t[i]);
      cifre = true;
    }
  }
  if (i < t.size() && t[i] == ',') {
    n.push_back('.');
    ++i;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) {
      n.push_back(t[i]);
      cifre = true;
    }
  }
  if (!cifre) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    n.push_back('e');
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) n.push_back(t[i++]);
    bool esp = false;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) {
      n.push_back(t[i]);
      esp = true;
    }
    if (!esp) return false;
  }
  if (i != t.size()) return false;
  v = std::strtod(n.c_str(), nullptr);
  return std::isfinite(v);
}

}  // namespace

void converti_data(std::string_view grezzo, std::string& out) {
  const std::string_view t = trim(grezzo);
  if (valnum(t) > 0) {
    out.assign(t.substr(0, 2));
    out.push_back('/');
    out.append(t.size() > 2 ? t.substr(2, 2) : std::string_view{});
    out.push_back('/');
    out.append(t.size() >= 4 ? t.substr(t.size() - 4) : t);
  } else {
    out.assign(t);
  }
}

void converti_quantita(std::string_view grezzo, std::string& out) {
  const double v = valnum(grezzo);
  if (v == std::floor(v) && std::fabs(v) < 1e15) {
    out = std::to_string(static_cast<long long>(v));
  } else {
    out = numero_semplice(v);
    if (!out.empty() && out[0] == ' ') out.erase(0, 1);
  }
}

void converti_ticket(std::string_view grezzo, std::string& out) {
  const std::string_view t = trim(grezzo);
  double v;
  if (!t.empty() && leggi_virgola(t, v)) {
    out = formato_importo(v);
  } else {
    out.assign(t);
  }
}

void converti_importo(std::string_view grezzo, std::string& out) {
  if (grezzo.find(',') != std::string_view::npos) {
    converti_ticket(grezzo, out);
    return;
  }
  const std::string_view t = trim(grezzo);
  double v;
  if (!t.empty() && leggi_virgola(t, v)) {
    out = formato_intero(v);
  } else {
    out.assign(t);
  }
}

void dividi_riga(std::string_view l, RigaFlusso& r) {
  testo(l, 1, 3, r.cod_regione);
  testo(l, 4, 3, r.cod_azienda);
  testo(l, 7, 6, r.cod_struttura);
  testo(l, 13, 2, r.cod_branca);
  testo(l, 15, 16, r.cod_medico);
  testo(l, 31, 30, r.cognome);
  testo(l, 61, 20, r.nome);
  testo(l, 81, 16, r.cod_fiscale);
  testo(l, 97, 1, r.sesso);
  converti_data(campo(l, 98, 8), r.data_nascita);
  testo(l, 106, 6, r.comune_res);
  testo(l, 112, 3, r.asl_res);
  converti_data(campo(l, 115, 8), r.data_prenotazione);
  testo(l, 123, 16, r.num_ricetta);
  testo(l, 139, 2, r.progressivo);
  testo(l, 141, 5, r.cod_diagnosi);
  converti_data(campo(l, 146, 8), r.data_prestazione);
  testo(l, 154, 1, r.cod_nomenclatore);
  testo(l, 155, 7, r.cod_prestazione);
  converti_quantita(campo(l, 162, 3), r.quantita);
  testo(l, 165, 2, r.pos_ticket);
  testo(l, 167, 6, r.cod_esenzione);
  converti_ticket(campo(l, 173, 7), r.importo_ticket);
  converti_importo(campo(l, 180, 8), r.importo);
  testo(l, 188, 1, r.pos_contabile);
}

bool riga_99(const RigaFlusso& r) { return valnum(r.progressivo) == 99; }

}  // namespace flussom
