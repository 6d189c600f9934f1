// Where each line of the report comes from: every line written to errori.RPT is also handed
// to an observer with its kind, the data-file line it concerns, the rule that wrote it and
// the fields of the line layout it is about.
#pragma once

#include <cstdint>
#include <string_view>

#include "model/riga_flusso.h"

namespace flussom {

// One identifier per kind of message; nessuna for the lines that are not messages.
enum class Regola : std::uint8_t {
  nessuna,
  mese_non_definito,
  lunghezza_errata,
  dieci_prestazioni_superate,
  solo_riga_99,
  riga_99_mancante,
  ricetta_duplicata,
  medico_caratteri_errati,
  progressivo_errato,
  quantita_errata,
  data_prenotazione_maggiore,
  codice_fiscale_lunghezza_errata,
  diagnosi_inesistente,
  prestazione_non_esente,
  prestazione_assente,
  prestazione_inesistente,
  prestazione_non_consona,
  importo_errato,
  struttura_letta_errata,
  numero_ricetta_errato,
  codice_fiscale_errato,
  cognome_caratteri_errati,
  nome_caratteri_errati,
  sesso_errato,
  regione_errata,
  azienda_errata,
  comune_vuoto,
  comune_errato,
  data_nascita_errata,
  anno_nascita_da_controllare,
  branca_vuota,
  asl_vuota,
  nomenclatore_mancante,
  nomenclatore_errato,
  data_prescrizione_errata,
  data_nascita_maggiore,
  dati_anagrafici_assenti,
  medico_mancante,
  ticket_non_esente_senza_importo,
  ticket_esente_con_importo,
  ticket_con_esenzione,
  posizione_contabile_errata,
  totale_errato,
  esenzione_errata,
  esenzione_assente,
  esenzione_inesistente,
};
inline constexpr std::size_t numero_regole = static_cast<std::size_t>(Regola::esenzione_inesistente) + 1;

// The stable identifier of a rule ("importo_errato"; "" for nessuna) and the fields its
// message is about.
std::string_view identificatore(Regola r);
InsiemeCampi campi_regola(Regola r);

enum class TipoRigaReport : std::uint8_t {
  intestazione,    // facility, file and month, title, and their empty lines
  messaggio,       // an error message
  blocco,          // the numbered line that closes a ricetta's error block
  spaziatura,      // the empty line after a block or before the date
  data_controllo,  // the day of the check, last line
};

struct RigaReport {
  TipoRigaReport tipo = TipoRigaReport::messaggio;
  std::string_view testo = {};  // the line as written, Windows-1252, without CR LF
  std::int64_t riga = 0;   // 1-based data-file line; 0 for a line about no single line
  Regola regola = Regola::nessuna;
  // A block: its number, its ricetta and the first and last data-file line of the ricetta.
  std::int64_t numero = 0;
  std::string_view ricetta = {};
  std::int64_t prima_riga = 0, ultima_riga = 0;
};

// Receives the report's lines as they are written.
class OsservatoreReport {
 public:
  virtual ~OsservatoreReport() = default;
  virtual void riga_report(const RigaReport& riga) = 0;
};

}  // namespace flussom
