#include "reference/sorgente_csv.h"

#include <numeric>

#include "base/cp1252.h"
#include "base/testo.h"

namespace flussom {

namespace {

bool blank(char c) { return c == ' ' || c == '\t'; }

std::string_view senza_blank(std::string_view s) {
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

// One field as it stands in the text: the blanks around it left out, and for a quoted
// field the quotes too, with a doubled quote inside still doubled.
struct Campo {
  std::string_view grezzo;
  bool doppie = false;  // holds doubled quotes

  // The value: a view into the text, or into `spazio` when doubled quotes are undone.
  std::string_view valore(std::string& spazio) const {
    if (!doppie) return grezzo;
    spazio.clear();
    for (std::size_t i = 0; i < grezzo.size(); ++i) {
      spazio += grezzo[i];
      if (grezzo[i] == '"') ++i;  // the second quote of the pair
    }
    return spazio;
  }
};

}  // namespace

std::string citato(std::string_view utf8) { return "\"" + utf8_a_cp1252(utf8) + "\""; }

// Walks the text one record at a time, handing every field to a visitor as it is read, so
// that nothing of a record is kept but what the visitor keeps.
class SorgenteCsv::Lettore {
 public:
  Lettore(std::string_view testo, std::size_t posizione, std::size_t riga)
      : testo_(testo), i_(posizione), riga_(riga) {}

  bool finito() const { return i_ >= testo_.size(); }
  std::size_t posizione() const { return i_; }
  std::size_t riga_corrente() const { return riga_; }

  // What the record just read was: the line on which it began, its fields, whether all of
  // them were empty.
  std::size_t riga() const { return inizio_; }
  std::size_t campi() const { return campi_; }
  bool vuoto() const { return vuoto_; }

  // Reads one record, calling visita(k, campo) for its k-th field; false on a fault.
  template <class Visita>
  bool record(Visita&& visita, Rifiuto& errore) {
    inizio_ = riga_;
    campi_ = 0;
    vuoto_ = true;
    for (;;) {
      Campo c;
      if (!campo(c, errore)) return false;
      if (!c.grezzo.empty()) vuoto_ = false;
      visita(campi_++, c);
      if (i_ < testo_.size() && testo_[i_] == ',') {
        ++i_;
        continue;
      }
      a_capo();
      return true;
    }
  }

 private:
  // Consumes a line break at the reading point, if there is one, and counts it.
  void a_capo() {
    if (i_ >= testo_.size()) return;
    if (testo_[i_] == '\r') {
      ++i_;
      if (i_ < testo_.size() && testo_[i_] == '\n') ++i_;
      ++riga_;
    } else if (testo_[i_] == '\n') {
      ++i_;
      ++riga_;
    }
  }

  bool campo(Campo& c, Rifiuto& errore) {
    std::size_t j = i_;
    while (j < testo_.size() && blank(testo_[j])) ++j;
    if (j < testo_.size() && testo_[j] == '"') return tra_virgolette(j, c, errore);
    const std::size_t inizio = i_;
    i_ = std::min(testo_.find_first_of(",\r\n\"", i_), testo_.size());
    if (i_ < testo_.size() && testo_[i_] == '"') {
      errore = {riga_, "virgolette dentro un campo che non comincia con le virgolette"};
      return false;
    }
    c.grezzo = senza_blank(testo_.substr(inizio, i_ - inizio));
    return true;
  }

  // A field whose opening quote is at `apertura`.
  bool tra_virgolette(std::size_t apertura, Campo& c, Rifiuto& errore) {
    const std::size_t riga_apertura = riga_;
    const std::size_t inizio = apertura + 1;
    for (i_ = inizio;;) {
      i_ = testo_.find_first_of("\"\r\n", i_);
      if (i_ == std::string_view::npos) {
        i_ = testo_.size();
        errore = {riga_apertura, "virgolette aperte e mai chiuse"};
        return false;
      }
      if (testo_[i_] != '"') {
        a_capo();  // a line break inside the field belongs to it
      } else if (i_ + 1 < testo_.size() && testo_[i_ + 1] == '"') {
        c.doppie = true;
        i_ += 2;
      } else {
        break;
      }
    }
    c.grezzo = senza_blank(testo_.substr(inizio, i_ - inizio));
    ++i_;
    while (i_ < testo_.size() && blank(testo_[i_])) ++i_;
    if (i_ < testo_.size() && testo_[i_] != ',' && testo_[i_] != '\r' && testo_[i_] != '\n') {
      errore = {riga_, "caratteri dopo le virgolette che chiudono un campo"};
      return false;
    }
    return true;
  }

  std::string_view testo_;
  std::size_t i_, riga_;
  std::size_t inizio_ = 0, campi_ = 0;
  bool vuoto_ = true;
};

bool SorgenteCsv::apri(std::string_view testo, std::span<const Colonna> colonne,
                       Rifiuto& errore) {
  if (testo.size() > UINT32_MAX) {
    errore = {0, "file troppo grande: al massimo 4 GB"};
    return false;
  }
  if (testo.starts_with("\xEF\xBB\xBF")) testo.remove_prefix(3);  // spreadsheets add a BOM
  testo_ = testo;
  Lettore lettore(testo_, 0, 1);
  // A fault of the header or of a row's length, which a quoting fault further on outranks.
  std::optional<Rifiuto> guasto;
  if (!intestazione(lettore, colonne, guasto, errore)) return false;
  posizione_ = lettore.posizione();
  riga_ = lettore.riga_corrente();
  righe_ = 0;
  while (!lettore.finito()) {
    if (!lettore.record([](std::size_t, const Campo&) {}, errore)) return false;
    if (lettore.vuoto()) continue;
    ++righe_;
    if (!guasto && lettore.campi() != campi_)
      guasto = Rifiuto{lettore.riga(), std::to_string(lettore.campi()) + " campi invece dei " +
                                           std::to_string(campi_) + " dell'intestazione"};
  }
  if (guasto) {
    errore = std::move(*guasto);
    return false;
  }
  spazio_.assign(indici_.size(), {});
  return true;
}

// The header is the first record that holds a value. Its names are kept, in lower case,
// only until they have been looked through for one that comes twice.
bool SorgenteCsv::intestazione(Lettore& lettore, std::span<const Colonna> colonne,
                               std::optional<Rifiuto>& guasto, Rifiuto& errore) {
  std::string nomi;               // the names that are not empty, one after the other
  std::vector<std::uint32_t> fine;  // where each one ends
  std::string spazio;
  indici_.assign(colonne.size(), std::string_view::npos);
  const auto nome = [&](std::size_t n) {
    const std::size_t inizio = n == 0 ? 0 : fine[n - 1];
    return std::string_view(nomi).substr(inizio, fine[n] - inizio);
  };
  do {
    if (lettore.finito()) {
      guasto = Rifiuto{0, "file vuoto: manca la riga d'intestazione"};
      return true;
    }
    const bool letto = lettore.record(
        [&](std::size_t k, const Campo& c) {
          if (c.grezzo.empty()) return;
          for (char ch : c.valore(spazio)) nomi += minuscola_ascii(ch);
          fine.push_back(static_cast<std::uint32_t>(nomi.size()));
          std::size_t s = 0;
          for (const Colonna& col : colonne) {
            if (indici_[s] == std::string_view::npos && nome(fine.size() - 1) == col.nome)
              indici_[s] = k;
            ++s;
          }
        },
        errore);
    if (!letto) return false;
  } while (lettore.vuoto());
  campi_ = lettore.campi();
  std::vector<std::uint32_t> ordine(fine.size());
  std::iota(ordine.begin(), ordine.end(), 0u);
  if (const std::optional<Ripetizione> r = ordina_per_chiave(ordine, nome)) {
    guasto = Rifiuto{lettore.riga(), "colonna " + citato(nome(r->ripetuta)) +
                                         " ripetuta nell'intestazione"};
    return true;
  }
  std::size_t s = 0;
  for (const Colonna& col : colonne) {
    if (indici_[s++] == std::string_view::npos && col.obbligatoria) {
      guasto = Rifiuto{lettore.riga(), "manca la colonna \"" + std::string(col.nome) + "\""};
      return true;
    }
  }
  return true;
}

bool SorgenteCsv::prossima(RigaSorgente& riga) {
  Lettore lettore(testo_, posizione_, riga_);
  Rifiuto errore;  // none: the whole text was read through when the source was opened
  while (!lettore.finito()) {
    riga.valori.assign(indici_.size(), {});
    lettore.record(
        [&](std::size_t k, const Campo& c) {
          for (std::size_t s = 0; s < indici_.size(); ++s)
            if (indici_[s] == k) riga.valori[s] = c.valore(spazio_[s]);
        },
        errore);
    if (lettore.vuoto()) continue;
    posizione_ = lettore.posizione();
    riga_ = lettore.riga_corrente();
    riga.riga = lettore.riga();
    return true;
  }
  posizione_ = testo_.size();
  return false;
}

}  // namespace flussom
