#include "model/riga_report.h"

#include <iterator>

namespace flussom {

namespace {

using C = CampoRiga;

struct Voce {
  Regola regola;
  const char* identificatore;
  InsiemeCampi campi;
};

using R = Regola;

// Each rule's name for programs and the fields it concerns, in the order of Regola.
constexpr Voce voci[] = {
    {R::nessuna, "", 0},
    {R::mese_non_definito, "mese_non_definito", 0},
    {R::lunghezza_errata, "lunghezza_errata", 0},
    {R::dieci_prestazioni_superate, "dieci_prestazioni_superate", bit(C::progressivo)},
    {R::solo_riga_99, "solo_riga_99", bit(C::progressivo)},
    {R::riga_99_mancante, "riga_99_mancante", 0},
    {R::ricetta_duplicata, "ricetta_duplicata", bit(C::num_ricetta)},
    {R::medico_caratteri_errati, "medico_caratteri_errati", bit(C::cod_medico)},
    {R::progressivo_errato, "progressivo_errato", bit(C::progressivo)},
    {R::quantita_errata, "quantita_errata", bit(C::quantita)},
    {R::data_prenotazione_maggiore, "data_prenotazione_maggiore", bit(C::data_prenotazione) | bit(C::data_prestazione)},
    {R::codice_fiscale_lunghezza_errata, "codice_fiscale_lunghezza_errata", bit(C::cod_fiscale)},
    {R::diagnosi_inesistente, "diagnosi_inesistente", bit(C::cod_diagnosi)},
    {R::prestazione_non_esente, "prestazione_non_esente", bit(C::cod_esenzione) | bit(C::cod_prestazione)},
    {R::prestazione_assente, "prestazione_assente", bit(C::cod_prestazione)},
    {R::prestazione_inesistente, "prestazione_inesistente", bit(C::cod_prestazione)},
    {R::prestazione_non_consona, "prestazione_non_consona", bit(C::cod_prestazione) | bit(C::cod_branca)},
    {R::importo_errato, "importo_errato", bit(C::importo) | bit(C::quantita) | bit(C::cod_prestazione)},
    {R::struttura_letta_errata, "struttura_letta_errata", bit(C::cod_struttura)},
    {R::numero_ricetta_errato, "numero_ricetta_errato", bit(C::num_ricetta)},
    {R::codice_fiscale_errato, "codice_fiscale_errato", bit(C::cod_fiscale)},
    {R::cognome_caratteri_errati, "cognome_caratteri_errati", bit(C::cognome)},
    {R::nome_caratteri_errati, "nome_caratteri_errati", bit(C::nome)},
    {R::sesso_errato, "sesso_errato", bit(C::sesso) | bit(C::cod_fiscale)},
    {R::regione_errata, "regione_errata", bit(C::cod_regione)},
    {R::azienda_errata, "azienda_errata", bit(C::cod_azienda)},
    {R::comune_vuoto, "comune_vuoto", bit(C::comune_res)},
    {R::comune_errato, "comune_errato", bit(C::comune_res)},
    {R::data_nascita_errata, "data_nascita_errata", bit(C::data_nascita)},
    {R::anno_nascita_da_controllare, "anno_nascita_da_controllare", bit(C::data_nascita)},
    {R::branca_vuota, "branca_vuota", bit(C::cod_branca)},
    {R::asl_vuota, "asl_vuota", bit(C::asl_res)},
    {R::nomenclatore_mancante, "nomenclatore_mancante", bit(C::cod_nomenclatore)},
    {R::nomenclatore_errato, "nomenclatore_errato", bit(C::cod_nomenclatore)},
    {R::data_prescrizione_errata, "data_prescrizione_errata", bit(C::data_prestazione)},
    {R::data_nascita_maggiore, "data_nascita_maggiore", bit(C::data_nascita) | bit(C::data_prestazione)},
    {R::dati_anagrafici_assenti, "dati_anagrafici_assenti", bit(C::cognome) | bit(C::nome) | bit(C::cod_fiscale) | bit(C::data_nascita)},
    {R::medico_mancante, "medico_mancante", bit(C::cod_medico)},
    {R::ticket_non_esente_senza_importo, "ticket_non_esente_senza_importo", bit(C::pos_ticket) | bit(C::importo_ticket)},
    {R::ticket_esente_con_importo, "ticket_esente_con_importo", bit(C::pos_ticket) | bit(C::importo_ticket)},
    {R::ticket_con_esenzione, "ticket_con_esenzione", bit(C::pos_ticket) | bit(C::cod_esenzione)},
    {R::posizione_contabile_errata, "posizione_contabile_errata", bit(C::pos_contabile)},
    {R::totale_errato, "totale_errato", bit(C::importo_ticket) | bit(C::importo)},
    {R::esenzione_errata, "esenzione_errata", bit(C::pos_ticket)},
    {R::esenzione_assente, "esenzione_assente", bit(C::pos_ticket) | bit(C::cod_esenzione)},
    {R::esenzione_inesistente, "esenzione_inesistente", bit(C::cod_esenzione)},
};
constexpr bool in_ordine() {
  for (std::size_t i = 0; i < std::size(voci); ++i)
    if (static_cast<std::size_t>(voci[i].regola) != i) return false;
  return std::size(voci) == numero_regole;
}
static_assert(in_ordine(), "the table of rules follows Regola, one entry per rule");

}  // namespace

std::string_view identificatore(Regola r) { return voci[static_cast<std::size_t>(r)].identificatore; }

InsiemeCampi campi_regola(Regola r) { return voci[static_cast<std::size_t>(r)].campi; }

}  // namespace flussom
