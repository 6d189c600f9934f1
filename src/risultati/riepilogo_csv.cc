#include "risultati/riepilogo_csv.h"

#include <algorithm>

#include "base/cp1252.h"
#include "base/formato.h"
#include "risultati/risultato_json.h"

namespace flussom {

namespace {

// The length of the UTF-8 character at the start of `s`; 0 when the bytes there are not
// one (a stray continuation byte, a sequence cut short, an overlong form, a surrogate, a
// value past U+10FFFF).
std::size_t carattere_utf8(std::string_view s) {
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char c = b(0);
  if (c < 0x80) return 1;
  std::size_t n = 0;
  unsigned char min = 0x80, max = 0xBF;  // the second byte's range
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
    if (c == 0xE0) min = 0xA0;  // overlong
    if (c == 0xED) max = 0x9F;  // surrogates
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
    if (c == 0xF0) min = 0x90;  // overlong
    if (c == 0xF4) max = 0x8F;  // past U+10FFFF
  }
  if (n == 0 || s.size() < n || b(1) < min || b(1) > max) return 0;
  for (std::size_t i = 2; i < n; ++i)
    if (b(i) < 0x80 || b(i) > 0xBF) return 0;
  return n;
}

// The text with every byte that is not part of a UTF-8 character made U+FFFD.
std::string utf8_valido(std::string_view s) {
  std::string r;
  r.reserve(s.size());
  while (!s.empty()) {
    const std::size_t n = carattere_utf8(s);
    r += n ? s.substr(0, n) : std::string_view("\xEF\xBF\xBD");
    s.remove_prefix(n ? n : 1);
  }
  return r;
}

// Quoted when the cell would otherwise end early or break its row.
std::string tra_virgolette(const std::string& t) {
  if (t.find_first_of(";\"\r\n") == std::string::npos) return t;
  std::string q = "\"";
  for (char c : t) q += c == '"' ? std::string("\"\"") : std::string(1, c);
  return q + "\"";
}

}  // namespace

std::string cella_testo(std::string_view testo) {
  std::string t = utf8_valido(testo);
  // What a spreadsheet would read as a formula (or strip) is shown as the text it is.
  if (!t.empty() && std::string_view("=+-@\t\r").find(t[0]) != std::string_view::npos) t.insert(0, 1, '\'');
  return tra_virgolette(t);
}

std::string euro(long long centesimi) {
  const bool negativo = centesimi < 0;
  const unsigned long long a = negativo ? 0ULL - static_cast<unsigned long long>(centesimi)
                                        : static_cast<unsigned long long>(centesimi);
  const unsigned long long resto = a % 100;
  std::string s = std::to_string(a / 100) + (resto < 10 ? ",0" : ",") + std::to_string(resto);
  return negativo ? "-" + s : s;
}

std::string numero_prestazioni(double n) {
  std::string s = numero_semplice(n);
  if (s[0] == ' ') s.erase(0, 1);
  std::replace(s.begin(), s.end(), '.', ',');
  return s;
}

std::string intestazione_riepilogo() {
  return "\xEF\xBB\xBF"
         "File;Codice struttura;Denominazione struttura;Mese;Esito;Ricette;Record;Prestazioni;"
         "Totale;Ticket;Netto;Sconto;Netto scontato;Blocchi di errori\r\n";
}

std::string riga_riepilogo(std::string_view file, const RisultatoRun& r, std::int64_t blocchi) {
  // Texts from outside go through cella_testo; the numbers are ours and stay numbers.
  std::string riga = cella_testo(file) + ";" + cella_testo(cp1252_a_utf8(r.codice_struttura)) + ";" +
                     cella_testo(cp1252_a_utf8(r.denominazione_struttura)) + ";" +
                     (r.mese > 0 ? std::to_string(r.mese) : "") + ";" + nome_esito(r.esito);
  if (r.esito == EsitoRun::corretto) {
    const TotaliVerifica& t = r.totali;
    for (const std::string& x :
         {std::to_string(t.nricette), std::to_string(t.record()), numero_prestazioni(t.nprestazioni),
          euro(centesimi(t.totale())), euro(centesimi(t.tot_ticket)), euro(centesimi(t.tot_netto)),
          euro(centesimi(t.tot_sconto)), euro(centesimi(t.netto_scontato()))})
      riga += ";" + x;
  } else {
    riga += ";;;;;;;;";
  }
  // Blocks only where the report was made.
  riga += ";" + (stato_uscita(r.esito) != 2 ? std::to_string(blocchi) : std::string());
  return riga + "\r\n";
}

}  // namespace flussom
