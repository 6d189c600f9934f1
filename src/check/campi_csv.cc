#include "check/campi_csv.h"

namespace flussom {

namespace {

bool fine_riga(char c) { return c == '\r' || c == '\n'; }

// Consumes one line break (CR LF, CR or LF) at s[i].
void salta_fine_riga(std::string_view s, std::size_t& i) {
  if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
  ++i;
}

}  // namespace

std::vector<std::string> leggi_campi(std::string_view s) {
  std::vector<std::string> campi;
  std::size_t i = 0;
  bool dopo_virgola = false;  // a comma was just read: a field follows even if empty
  while (true) {
    while (i < s.size() && s[i] == ' ') ++i;
    if (i >= s.size()) {
      if (dopo_virgola) campi.emplace_back();
      break;
    }
    if (fine_riga(s[i])) {
      // "a," at the end of a line leaves an empty last field; an empty line holds none.
      if (dopo_virgola) campi.emplace_back();
      dopo_virgola = false;
      salta_fine_riga(s, i);
      continue;
    }
    std::string campo;
    if (s[i] == '"') {
      ++i;
      const std::size_t fine = s.find('"', i);
      if (fine == std::string_view::npos) {
        // An unclosed quote runs to the end of the text.
        campo.assign(s.substr(i));
        i = s.size();
      } else {
        campo.assign(s.substr(i, fine - i));
        i = fine + 1;
      }
      // Whatever stands between the closing quote and the next delimiter is dropped.
      while (i < s.size() && s[i] != ',' && !fine_riga(s[i])) ++i;
    } else {
      const std::size_t inizio = i;
      while (i < s.size() && s[i] != ',' && !fine_riga(s[i])) ++i;
      std::size_t fine = i;
      while (fine > inizio && s[fine - 1] == ' ') --fine;
      campo.assign(s.substr(inizio, fine - inizio));
    }
    campi.push_back(std::move(campo));
    dopo_virgola = false;
    if (i < s.size()) {
      if (s[i] == ',') {
        ++i;
        dopo_virgola = true;
      } else {
        salta_fine_riga(s, i);
      }
    }
  }
  return campi;
}

std::vector<std::vector<std::string>> leggi_record(std::string_view contenuto,
                                                   std::size_t per_record) {
  std::vector<std::vector<std::string>> record;
  if (per_record == 0) return record;
  std::vector<std::string> campi = leggi_campi(contenuto);
  const std::size_t n = campi.size() / per_record;
  record.reserve(n);
  for (std::size_t r = 0; r < n; ++r) {
    auto b = campi.begin() + static_cast<std::ptrdiff_t>(r * per_record);
    record.emplace_back(std::make_move_iterator(b),
                        std::make_move_iterator(b + static_cast<std::ptrdiff_t>(per_record)));
  }
  return record;
}

}  // namespace flussom
