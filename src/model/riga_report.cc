#include "model/riga_report.h"

#include <iterator>

namespace flussom {

namespace {

using C = CampoRiga;

struct Voce {
  const char* identificatore;
  InsiemeCampi campi;
};

// In the order of Regola.
constexpr Voce voci[] = {
    {"", 0},
    {"mese_non_definito", 0},
    {"lunghezza_errata", 0},
    {"dieci_prestazioni_superate", bit(C::progressivo)},
    {"solo_riga_99", bit(C::progressivo)},
    {"riga_99_mancante", 0},
    {"ricetta_duplicata", bit(C::num_ricetta)},
    {"medico_caratteri_errati", bit(C::cod_medico)},
    {"progressivo_errato", bit(C::progressivo)},
    {"quantita_errata", bit(C::quantita)},
    {"data_prenotazione_maggiore", bit(C::data_prenotazione) | bit(C::data_prestazione)},
    {"codice_fiscale_lunghezza_errata", bit(C::cod_fiscale)},
    {"diagnosi_inesistente", bit(C::cod_diagnosi)},
    {"prestazione_non_esente", bit(C::cod_esenzione) | bit(C::cod_prestazione)},
    {"prestazione_assente", bit(C::cod_prestazione)},
    {"prestazione_inesistente", bit(C::cod_prestazione)},
    {"prestazione_non_consona", bit(C::cod_prestazione) | bit(C::cod_branca)},
    {"importo_errato", bit(C::importo) | bit(C::quantita) | bit(C::cod_prestazione)},
    {"struttura_letta_errata", bit(C::cod_struttura)},
    {"numero_ricetta_errato", bit(C::num_ricetta)},
    {"codice_fiscale_errato", bit(C::cod_fiscale)},
    {"cognome_caratteri_errati", bit(C::cognome)},
    {"nome_caratteri_errati", bit(C::nome)},
    {"sesso_errato", bit(C::sesso) | bit(C::cod_fiscale)},
    {"regione_errata", bit(C::cod_regione)},
    {"azienda_errata", bit(C::cod_azienda)},
    {"comune_vuoto", bit(C::comune_res)},
    {"comune_errato", bit(C::comune_res)},
    {"data_nascita_errata", bit(C::data_nascita)},
    {"anno_nascita_da_controllare", bit(C::data_nascita)},
    {"branca_vuota", bit(C::cod_branca)},
    {"asl_vuota", bit(C::asl_res)},
    {"nomenclatore_mancante", bit(C::cod_nomenclatore)},
    {"nomenclatore_errato", bit(C::cod_nomenclatore)},
    {"data_prescrizione_errata", bit(C::data_prestazione)},
    {"data_nascita_maggiore", bit(C::data_nascita) | bit(C::data_prestazione)},
    {"dati_anagrafici_assenti", bit(C::cognome) | bit(C::nome) | bit(C::cod_fiscale) | bit(C::data_nascita)},
    {"medico_mancante", bit(C::cod_medico)},
    {"ticket_non_esente_senza_importo", bit(C::pos_ticket) | bit(C::importo_ticket)},
    {"ticket_esente_con_importo", bit(C::pos_ticket) | bit(C::importo_ticket)},
    {"ticket_con_esenzione", bit(C::pos_ticket) | bit(C::cod_esenzione)},
    {"posizione_contabile_errata", bit(C::pos_contabile)},
    {"totale_errato", bit(C::importo_ticket) | bit(C::importo)},
    {"esenzione_errata", bit(C::pos_ticket)},
    {"esenzione_assente", bit(C::pos_ticket) | bit(C::cod_esenzione)},
    {"esenzione_inesistente", bit(C::cod_esenzione)},
};
static_assert(std::size(voci) == numero_regole, "one entry per rule");

}  // namespace

std::string_view identificatore(Regola r) { return voci[static_cast<std::size_t>(r)].identificatore; }

InsiemeCampi campi_regola(Regola r) { return voci[static_cast<std::size_t>(r)].campi; }

}  // namespace flussom
