#include "model/riga_flusso.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <utility>

#include "base/decimale.h"
#include "base/formato.h"
#include "base/testo.h"

namespace flussom {

std::string_view campo(std::string_view linea, std::size_t posizione, std::size_t lunghezza) {
  if (posizione == 0 || posizione > linea.size()) return {};
  return linea.substr(posizione - 1, lunghezza);
}

namespace {

// Stores a converted text. clear and append reuse the storage like assign, with fewer
// checks (the text never overlaps it).
inline void metti(std::string& out, std::string_view t) {
  out.clear();
  out.append(t.data(), t.size());
}

bool solo_cifre(std::string_view t) {
  for (const char c : t)
    if (c < '0' || c > '9') return false;
  return true;
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
  v = valore_decimale(n);
  return std::isfinite(v);
}

// The usual amount texts ("00012,50", "-3,5", "0000036") written in their pattern straight
// from their digits, as the reading below followed by the pattern would write them: a
// decimal of at most 15 digits comes back unchanged from the double nearest to it, and at
// most two decimals need no rounding. `con_virgola`: the "#####.00" pattern, otherwise
// "########" (for a text without ","). False for any other text, which takes the long way.
bool importo_diretto(std::string_view t, bool con_virgola, std::string& out) {
  char buf[24];  // sign, 15 digits, ",", 2 decimals
  std::size_t n = 0;
  std::size_t i = 0;
  const bool negativo = i < t.size() && t[i] == '-';
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  buf[n++] = '-';
  int cifre = 0;
  bool significativa = false;  // a digit other than a leading zero has been written
  for (; i < t.size() && ((t[i] >= '0' && t[i] <= '9') || t[i] == '.'); ++i) {
    if (t[i] == '.') continue;  // thousands separator
    if (++cifre > 15) return false;
    if (t[i] != '0' || significativa) {
      buf[n++] = t[i];
      significativa = true;
    }
  }
  if (con_virgola) {
    if (i == t.size() || t[i] != ',') return false;
    buf[n++] = ',';
    int decimali = 0;
    for (++i; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) {
      if (++decimali > 2 || ++cifre > 15) return false;
      significativa = significativa || t[i] != '0';
      buf[n++] = t[i];
    }
    for (; decimali < 2; ++decimali) buf[n++] = '0';
  }
  if (i != t.size() || cifre == 0) return false;
  // A value that is zero prints no sign.
  const std::size_t da = negativo && significativa ? 0 : 1;
  metti(out, std::string_view(buf + da, n - da));
  return true;
}

// valnum(t) > 0 for a date. A date of digits only, the usual one, is positive when a digit
// is not 0 (up to 15 digits, which a double holds exactly).
bool positiva(std::string_view t) {
  if (t.size() > 15) return valnum(t) > 0;
  bool non_zero = false;
  for (const char c : t) {
    if (c < '0' || c > '9') return valnum(t) > 0;
    non_zero = non_zero || c != '0';
  }
  return non_zero;
}

}  // namespace

void converti_data(std::string_view grezzo, std::string& out) {
  if (grezzo.size() == 8) {
    // The usual ddmmyyyy, eight digits read as one word, taken apart without the general
    // steps below: a byte is a digit when its high half is 3 and adding 6 keeps it so.
    std::uint64_t w;
    std::memcpy(&w, grezzo.data(), 8);
    constexpr std::uint64_t alte = 0xF0F0F0F0F0F0F0F0u, tre = 0x3030303030303030u;
    if ((w & alte) == tre && ((w + 0x0606060606060606u) & alte) == tre) {
      if (w == tre) {
        metti(out, grezzo);  // all zeros
      } else {
        const char* t = grezzo.data();
        const char data[10] = {t[0], t[1], '/', t[2], t[3], '/', t[4], t[5], t[6], t[7]};
        metti(out, std::string_view(data, sizeof data));
      }
      return;
    }
  }
  const std::string_view t = trim(grezzo);
  if (positiva(t)) {
    // Put together in place and stored at once: at most 2 + 1 + 2 + 1 + 4 characters.
    char buf[10];
    std::size_t n = 0;
    const auto aggiungi = [&](std::string_view pezzo) {
      if (pezzo.empty()) return;  // an empty view may hold no pointer, which memcpy refuses
      std::memcpy(buf + n, pezzo.data(), pezzo.size());
      n += pezzo.size();
    };
    aggiungi(t.substr(0, 2));
    aggiungi("/");
    aggiungi(t.size() > 2 ? t.substr(2, 2) : std::string_view{});
    aggiungi("/");
    aggiungi(t.size() >= 4 ? t.substr(t.size() - 4) : t);
    metti(out, std::string_view(buf, n));
  } else {
    metti(out, t);
  }
}

void converti_quantita(std::string_view grezzo, std::string& out) {
  if (!grezzo.empty() && grezzo.size() <= 15 && solo_cifre(grezzo)) {
    // The usual "001": the whole number without its leading zeros, as below.
    const std::size_t primo = std::min(grezzo.find_first_not_of('0'), grezzo.size() - 1);
    metti(out, grezzo.substr(primo));
    return;
  }
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
  if (importo_diretto(t, true, out)) return;
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
  if (importo_diretto(t, false, out)) return;
  double v;
  if (!t.empty() && leggi_virgola(t, v)) {
    out = formato_intero(v);
  } else {
    out.assign(t);
  }
}

namespace {

// The rule of the text fields: the characters trimmed. The split gives them as a view of
// the line's characters, without a copy, and calls only the other conversions.
void converti_testo(std::string_view grezzo, std::string& out) { metti(out, trim(grezzo)); }

// A conversion remembered by the raw bytes of its field. Quantities and amounts repeat
// across a file (a catalogue has few tariffs) and a conversion depends on its raw bytes
// alone: a field of at most 8 bytes seen before costs a load, a comparison and a copy
// instead of the reading of its text. (A date is quicker to convert than to look up.)
template <void (*Conversione)(std::string_view, std::string&)>
void converti_ricordando(std::string_view grezzo, std::string& out) {
  struct Ricordo {
    std::uint64_t grezzo = 0;  // the raw bytes, zero after their end
    std::uint8_t lunghezza_grezzo = 0;  // 0: an empty place (an empty field is not kept)
    std::uint8_t lunghezza = 0;
    char testo[14] = {};
  };
  // Direct-mapped, one table per conversion and thread (24 KB).
  static thread_local Ricordo ricordi[1024];
  if (grezzo.empty() || grezzo.size() > 8) {
    Conversione(grezzo, out);
    return;
  }
  std::uint64_t chiave = 0;
  std::memcpy(&chiave, grezzo.data(), grezzo.size());
  Ricordo& r = ricordi[(chiave * 0x9E3779B97F4A7C15u) >> 54];
  if (r.lunghezza_grezzo == grezzo.size() && r.grezzo == chiave) {
    metti(out, std::string_view(r.testo, r.lunghezza));
    return;
  }
  Conversione(grezzo, out);
  if (out.size() <= sizeof r.testo) {
    r.grezzo = chiave;
    r.lunghezza_grezzo = static_cast<std::uint8_t>(grezzo.size());
    r.lunghezza = static_cast<std::uint8_t>(out.size());
    if (!out.empty()) std::memcpy(r.testo, out.data(), out.size());
  }
}
constexpr auto quantita_ricordata = converti_ricordando<converti_quantita>;
constexpr auto ticket_ricordato = converti_ricordando<converti_ticket>;
constexpr auto importo_ricordato = converti_ricordando<converti_importo>;

// Every field: its name, the name a clerk reads, its positions, where it goes, its
// conversion. The one table of the line layout: the split reads it, the report's events
// name their fields from it, the windows label them from it.
struct Campo {
  CampoRiga id;
  const char* nome;
  const char* etichetta;  // Windows-1252
  std::size_t posizione, lunghezza;
  std::string_view RigaFlusso::*membro;
  void (*conversione)(std::string_view grezzo, std::string& out);
};
constexpr Campo campi[] = {
    {CampoRiga::cod_regione, "cod_regione", "Codice regione", 1, 3, &RigaFlusso::cod_regione, converti_testo},
    {CampoRiga::cod_azienda, "cod_azienda", "Codice azienda", 4, 3, &RigaFlusso::cod_azienda, converti_testo},
    {CampoRiga::cod_struttura, "cod_struttura", "Codice struttura", posizione_struttura, lunghezza_struttura, &RigaFlusso::cod_struttura, converti_testo},
    {CampoRiga::cod_branca, "cod_branca", "Codice branca", 13, 2, &RigaFlusso::cod_branca, converti_testo},
    {CampoRiga::cod_medico, "cod_medico", "Codice medico", 15, 16, &RigaFlusso::cod_medico, converti_testo},
    {CampoRiga::cognome, "cognome", "Cognome", 31, 30, &RigaFlusso::cognome, converti_testo},
    {CampoRiga::nome, "nome", "Nome", 61, 20, &RigaFlusso::nome, converti_testo},
    {CampoRiga::cod_fiscale, "cod_fiscale", "Codice fiscale", 81, 16, &RigaFlusso::cod_fiscale, converti_testo},
    {CampoRiga::sesso, "sesso", "Sesso", 97, 1, &RigaFlusso::sesso, converti_testo},
    {CampoRiga::data_nascita, "data_nascita", "Data di nascita", 98, 8, &RigaFlusso::data_nascita, converti_data},
    {CampoRiga::comune_res, "comune_res", "Comune di residenza", 106, 6, &RigaFlusso::comune_res, converti_testo},
    {CampoRiga::asl_res, "asl_res", "ASL di residenza", 112, 3, &RigaFlusso::asl_res, converti_testo},
    {CampoRiga::data_prenotazione, "data_prenotazione", "Data di prenotazione", 115, 8, &RigaFlusso::data_prenotazione, converti_data},
    {CampoRiga::num_ricetta, "num_ricetta", "Numero ricetta", 123, 16, &RigaFlusso::num_ricetta, converti_testo},
    {CampoRiga::progressivo, "progressivo", "Progressivo riga", 139, 2, &RigaFlusso::progressivo, converti_testo},
    {CampoRiga::cod_diagnosi, "cod_diagnosi", "Codice diagnosi", 141, 5, &RigaFlusso::cod_diagnosi, converti_testo},
    {CampoRiga::data_prestazione, "data_prestazione", "Data prestazione", 146, 8, &RigaFlusso::data_prestazione, converti_data},
    {CampoRiga::cod_nomenclatore, "cod_nomenclatore", "Codice nomenclatore", 154, 1, &RigaFlusso::cod_nomenclatore, converti_testo},
    {CampoRiga::cod_prestazione, "cod_prestazione", "Codice prestazione", 155, 7, &RigaFlusso::cod_prestazione, converti_testo},
    {CampoRiga::quantita, "quantita", "Quantit\xE0", 162, 3, &RigaFlusso::quantita, quantita_ricordata},
    {CampoRiga::pos_ticket, "pos_ticket", "Posizione ticket", 165, 2, &RigaFlusso::pos_ticket, converti_testo},
    {CampoRiga::cod_esenzione, "cod_esenzione", "Codice esenzione", 167, 6, &RigaFlusso::cod_esenzione, converti_testo},
    {CampoRiga::importo_ticket, "importo_ticket", "Importo ticket", 173, 7, &RigaFlusso::importo_ticket, ticket_ricordato},
    {CampoRiga::importo, "importo", "Importo", 180, 8, &RigaFlusso::importo, importo_ricordato},
    {CampoRiga::pos_contabile, "pos_contabile", "Posizione contabile", 188, 1, &RigaFlusso::pos_contabile, converti_testo},
};

constexpr bool in_ordine() {
  for (std::size_t i = 0; i < std::size(campi); ++i)
    if (static_cast<std::size_t>(campi[i].id) != i) return false;
  return std::size(campi) == numero_campi;
}
static_assert(in_ordine(), "the table of fields follows CampoRiga");

// Converted fields are at most 8 characters wide, and 8 characters from where each starts
// are among those read: their raw bytes are read as one word.
constexpr bool convertiti_brevi() {
  for (const Campo& c : campi)
    if (c.conversione != converti_testo && (c.lunghezza > 8 || c.posizione - 1 + 8 > lunghezza_letta)) return false;
  return true;
}
static_assert(convertiti_brevi(), "a converted field fits in a word");

}  // namespace

// Field i of the line held in `r`: a text field trimmed in place; a converted field
// converted unless its raw bytes are the line before's.
template <std::size_t i>
void dividi_campo(const char* linea, RigaFlusso& r) {
  constexpr const Campo& c = campi[i];
  RigaFlusso::Campo& k = r.campi_[i];
  char* const tenuto = r.linea_ + c.posizione - 1;
  const std::string_view grezzo(linea + c.posizione - 1, c.lunghezza);
  if constexpr (c.conversione == converti_testo) {
    // The characters kept, and the field as trimmed then, unless they changed.
    if (!r.diviso_ || std::memcmp(tenuto, grezzo.data(), c.lunghezza) != 0) {
      std::memcpy(tenuto, grezzo.data(), c.lunghezza);
      const std::string_view t = trim(std::string_view(tenuto, c.lunghezza));
      k.inizio = static_cast<std::uint8_t>(t.data() - r.linea_);
      k.lunghezza = static_cast<std::uint8_t>(t.size());
    }
    r.*c.membro = std::string_view(r.linea_ + k.inizio, k.lunghezza);
  } else {
    // Eight bytes read as one word (all within the characters read), those of the field kept.
    std::uint64_t parola;
    std::memcpy(&parola, grezzo.data(), sizeof parola);
    constexpr std::uint64_t tutti = ~std::uint64_t{0};
    constexpr unsigned fuori = 8 * (8 - c.lunghezza);  // bits of the bytes past the field
    if constexpr (fuori > 0)
      parola &= std::endian::native == std::endian::little ? tutti >> fuori : tutti << fuori;
    if (!r.diviso_ || k.grezzo != parola) {
      c.conversione(grezzo, k.testo);
      k.grezzo = parola;
    }
    r.*c.membro = k.testo;
  }
}

void dividi_riga(std::string_view l, RigaFlusso& r) {
  // The fields are read from their own characters, which the split keeps, so that they
  // outlive the line. A short line is completed with blanks: a field cut by the end of the
  // line reads as the same field completed with blanks (the conversions ignore blanks at
  // the end, as trimming does).
  char completata[lunghezza_letta];
  const char* linea = l.data();
  if (l.size() < lunghezza_letta) {
    if (!l.empty()) std::memcpy(completata, l.data(), l.size());
    std::memset(completata + l.size(), ' ', lunghezza_letta - l.size());
    linea = completata;
  }
  // Every field at its fixed place: the table unrolled, each field with its own constants.
  [&]<std::size_t... i>(std::index_sequence<i...>) { (dividi_campo<i>(linea, r), ...); }
  (std::make_index_sequence<numero_campi>{});
  r.diviso_ = true;
}

std::string_view nome_campo(CampoRiga c) { return campi[static_cast<std::size_t>(c)].nome; }

std::string_view etichetta_campo(CampoRiga c) { return campi[static_cast<std::size_t>(c)].etichetta; }

PosizioneCampo posizione_campo(CampoRiga c) {
  const Campo& f = campi[static_cast<std::size_t>(c)];
  return {f.posizione, f.lunghezza};
}

bool riga_99(const RigaFlusso& r) {
  // Asked several times for every line: the usual texts, one or two digits, are read here.
  const std::string_view p = r.progressivo;
  if (p.size() <= 2 && std::all_of(p.begin(), p.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return p.size() == 2 && p[0] == '9' && p[1] == '9';
  return valnum(p) == 99;
}

}  // namespace flussom
