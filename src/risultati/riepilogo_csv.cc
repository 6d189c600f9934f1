#include "risultati/riepilogo_csv.h"

#include <algorithm>

#include "base/campi_csv.h"
#include "base/cp1252.h"
#include "base/formato.h"
#include "risultati/risultato_json.h"

namespace flussom {

std::string cella_testo(std::string_view testo) {
  std::string t = utf8_valido(testo);
  // What a spreadsheet would read as a formula (or strip) is shown as the text it is.
  if (!t.empty() && std::string_view("=+-@\t\r").find(t[0]) != std::string_view::npos) t.insert(0, 1, '\'');
  // Quoted when the cell would otherwise end early or break its row.
  std::string cella;
  aggiungi_campo_csv(cella, t, t.find_first_of(";\"\r\n") != std::string::npos);
  return cella;
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
