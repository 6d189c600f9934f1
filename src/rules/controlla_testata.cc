// Prescription header and patient checks of a closing row: facility code as it stands in
// the line, prescription number, codice fiscale, surname and name, sex, region, health
// authority, municipality of residence, date of birth and age.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/formato.h"
#include "base/testo.h"
#include "reference/controcf.h"
#include "reference/dcata.h"
#include "rules/regole.h"

namespace flussom {

namespace {

// Digits and the characters : ; < = > ? @
constexpr bool carattere_errato_primo(unsigned char c) { return c > 47 && c < 65; }

// ! " # $ % & ( ) * + , - (the apostrophe is allowed in surnames such as D'ANGELO)
constexpr bool carattere_errato_secondo(unsigned char c) { return c > 32 && c < 46 && c != 39; }

// The offending characters of both kinds all lie in 33-64: bit c - 33 of the mask for each.
constexpr unsigned char primo_errato = 33;
constexpr std::uint32_t maschera_errati = [] {
  std::uint32_t m = 0;
  for (unsigned c = 0; c < 256; ++c) {
    const bool errato = carattere_errato_primo(static_cast<unsigned char>(c)) ||
                        carattere_errato_secondo(static_cast<unsigned char>(c));
    if (errato) m |= std::uint32_t{1} << (c - primo_errato);  // never outside 33-64
  }
  return m;
}();

bool carattere_errato(unsigned char c) {
  const unsigned d = static_cast<unsigned>(c) - primo_errato;  // wraps around below 33
  return d < 32 && (maschera_errati >> d & 1) != 0;
}

// One line for every offending character, all lines of the first kind before those of
// the second.
void controlla_caratteri(StatoRun& s, Regola regola, std::string_view testo, std::string_view messaggio) {
  bool errati = false;  // the usual text has none: a single reading, without branches
  for (const char c : testo) errati |= carattere_errato(static_cast<unsigned char>(c));
  if (!errati) return;
  for (char c : testo)
    if (carattere_errato_primo(static_cast<unsigned char>(c))) s.errore(regola, {messaggio, testo, ")  "});
  for (char c : testo)
    if (carattere_errato_secondo(static_cast<unsigned char>(c))) s.errore(regola, {messaggio, testo, ")  "});
}

std::string_view ultimi_quattro(std::string_view t) {
  return t.size() > 4 ? t.substr(t.size() - 4) : t;
}

}  // namespace

void controlla_testata(StatoRun& s) {
  const RigaFlusso& r = s.riga;

  // The lookup matched the trimmed code, so a code padded with blanks gets here unnoticed.
  const std::string_view letto = campo(s.linea, 7, 6);
  if (letto != s.codice_struttura) s.errore(Regola::struttura_letta_errata, {" Codice Struttura letto errato : ", letto});

  if (r.num_ricetta.size() < 15) s.errore(Regola::numero_ricetta_errato, {" Numero ricetta errato o mancante "});

  if (r.cod_fiscale.size() != 16) {
    s.errore(Regola::codice_fiscale_lunghezza_errata, {" Codice fiscale ", r.cod_fiscale, " errato < 16 ctr"});
  } else if (r.cod_fiscale.compare(0, 3, "STP") != 0) {
    // Foreigners' STP codes have no check character. CONTROCF also capitalises, so a code
    // in lower case is reported even with the right check character.
    if (da_correggere(r.cod_fiscale))
      s.errore(Regola::codice_fiscale_errato, {" Codice fiscale ", r.cod_fiscale, " errato ( ", CONTROCF(r.cod_fiscale), " )"});
  }

  controlla_caratteri(s, Regola::cognome_caratteri_errati, r.cognome, " Cognome con caratteri errati (");
  controlla_caratteri(s, Regola::nome_caratteri_errati, r.nome, " Nome con caratteri errati (");

  // Without a codice fiscale the sex must be given; 3 and above are never valid.
  const double sesso = valnum(r.sesso);
  if ((r.cod_fiscale.empty() && sesso == 0) || sesso > 2) s.errore(Regola::sesso_errato, {" Sesso errato o mancante      "});

  if (valnum(r.cod_regione) != 190) s.errore(Regola::regione_errata, {" Codice Regione errato o mancante "});

  const double azienda = valnum(r.cod_azienda);
  if (!(azienda != 0 && azienda >= 100)) s.errore(Regola::azienda_errata, {" Codice Azienda errato o mancante "});

  if (valnum(r.comune_res) == 0) {
    s.errore(Regola::comune_vuoto, {" Comune residenza vuoto       "});
  } else if (cerca_comune(s.tabelle, r.comune_res) == 0) {
    s.errore(Regola::comune_errato, {" Comune residenza errato ", r.comune_res});
  }

  // A day of 00 (or no date at all) reads 0: such a date is not checked.
  if (valnum(r.data_nascita) > 0) {
    if (!data_valida(r.data_nascita, s.anno_corrente)) s.errore(Regola::data_nascita_errata, {" Data nascita errata ", r.data_nascita});

    // Only the years count, whatever the date itself is worth.
    const std::string_view anno = ultimi_quattro(r.data_nascita);
    const double eta = s.anno_corrente - valnum(anno);
    if (eta > 100)
      s.errore(Regola::anno_nascita_da_controllare, {" Controllare anno nascita (", anno, ") ", numero_semplice(eta), " anni di et\xE0"});
  }
}

}  // namespace flussom
