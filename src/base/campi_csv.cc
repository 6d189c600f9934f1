#include "base/campi_csv.h"

namespace flussom {

namespace {

bool fine_riga(char c) { return c == '\r' || c == '\n'; }

// Consumes one line break (CR LF, CR or LF) at s[i].
void salta_fine_riga(std::string_view s, std::size_t& i) {
  if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
  ++i;
}

// The end of an unquoted field or of the text after a closing quote: the next delimiter.
std::size_t fino_al_delimitatore(std::string_view s, std::size_t i) {
  while (i < s.size() && s[i] != ',' && !fine_riga(s[i])) ++i;
  return i;
}

}  // namespace

bool LettoreCampi::prossimo(std::string_view& campo) {
  const std::string_view s = testo_;
  std::size_t i = punto_.posizione;
  for (;;) {
    while (i < s.size() && s[i] == ' ') ++i;
    if (i >= s.size()) {
      // "a," at the end of the text leaves an empty last field.
      const bool vuoto = punto_.dopo_virgola;
      punto_ = {s.size(), false};
      campo = s.substr(s.size());  // an empty view that still points into the text
      return vuoto;
    }
    if (!fine_riga(s[i])) break;
    // "a," at the end of a line leaves an empty last field; an empty line holds none.
    const bool vuoto = punto_.dopo_virgola;
    salta_fine_riga(s, i);
    punto_ = {i, false};
    if (vuoto) {
      campo = s.substr(i, 0);
      return true;
    }
  }
  if (s[i] == '"') {
    ++i;
    std::size_t fine = s.find('"', i);
    if (fine == std::string_view::npos) fine = s.size();  // an unclosed quote runs to the end
    campo = s.substr(i, fine - i);
    // Whatever stands between the closing quote and the next delimiter is dropped.
    i = fino_al_delimitatore(s, fine == s.size() ? fine : fine + 1);
  } else {
    const std::size_t inizio = i;
    i = fino_al_delimitatore(s, i);
    std::size_t fine = i;
    while (fine > inizio && s[fine - 1] == ' ') --fine;
    campo = s.substr(inizio, fine - inizio);
  }
  punto_ = {i, false};
  if (i < s.size()) {
    if (s[i] == ',') {
      punto_ = {i + 1, true};
    } else {
      salta_fine_riga(s, i);
      punto_.posizione = i;
    }
  }
  return true;
}

bool LettoreCampi::prossimo_record(std::span<std::string_view> campi) {
  for (std::string_view& c : campi)
    if (!prossimo(c)) return false;
  return true;
}

std::vector<std::string> leggi_campi(std::string_view contenuto) {
  std::vector<std::string> campi;
  LettoreCampi lettore(contenuto);
  for (std::string_view c; lettore.prossimo(c);) campi.emplace_back(c);
  return campi;
}

void aggiungi_campo_csv(std::string& csv, std::string_view campo, bool tra_virgolette) {
  if (!tra_virgolette) {
    csv += campo;
    return;
  }
  csv += '"';
  for (char c : campo) {
    if (c == '"') csv += '"';
    csv += c;
  }
  csv += '"';
}

}  // namespace flussom
