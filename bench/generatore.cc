#include "generatore.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <random>
#include <vector>

#include "base/testo.h"
#include "reference/controcf.h"
#include "reference/tabelle.h"

namespace flussom {

namespace {

struct Servizio {
  std::string codice;
  double tariffa;
  std::vector<std::string> branche;  // empty: any specialty
};

const std::array<const char*, 16> cognomi = {
    "ROSSI", "RUSSO", "FERRARI", "ESPOSITO", "BIANCHI", "ROMANO", "COLOMBO", "RICCI",
    "MARINO", "GRECO", "BRUNO", "GALLO", "CONTI", "DE LUCA", "D'ANGELO", "COSTA"};
const std::array<const char*, 16> nomi = {
    "MARIO", "GIUSEPPE", "ANNA", "MARIA", "LUCA", "GIULIA", "FRANCESCO", "CHIARA",
    "ANTONIO", "SARA", "MARCO", "ELENA", "PAOLO", "LAURA", "ANDREA", "SOFIA"};
const std::array<const char*, 6> branche_visita = {"08", "26", "36", "52", "58", "71"};

std::string campo_data(int g, int m, int a) {
  char b[16];
  std::snprintf(b, sizeof b, "%02d%02d%04d", g, m, a);
  return b;
}

std::string importo_virgola(double euro, int larghezza) {
  const long long cent = static_cast<long long>(euro * 100 + 0.5);
  char b[32];
  std::snprintf(b, sizeof b, "%0*lld,%02lld", larghezza - 3, cent / 100, cent % 100);
  return b;
}

class Generatore {
 public:
  Generatore(const std::filesystem::path& cartella, const OpzioniGeneratore& o)
      : o_(o), caso_(o.seme), tabelle_(cartella) {
    const std::size_t n = tabelle_.terapie().numero_record();
    for (std::size_t i = 1; i <= n; ++i) {
      const std::string_view r = tabelle_.terapie().record(i);
      Servizio s{std::string(trim(valore(r, chiave(Tabella::terapie)))),
                 valnum(valore(r, campo(Tabella::terapie, "tariffa"))), {}};
      const std::string_view b = valore(tabelle_.tera001().record(i), campo(Tabella::tera001, "branche"));
      for (std::size_t k = 0; k + larghezza_branca <= b.size(); k += larghezza_branca)
        if (valnum(b.substr(k, larghezza_branca)) != 0) s.branche.emplace_back(trim(b.substr(k, larghezza_branca)));
      if (!s.codice.empty()) servizi_.push_back(std::move(s));
    }
    for (std::size_t i = 1, m = std::min<std::size_t>(tabelle_.comuxx().numero_record(), 2000); i <= m; ++i)
      comuni_.emplace_back(trim(valore(tabelle_.comuxx().record(i), chiave(Tabella::comuxx))));
    for (std::size_t i = 1; i <= tabelle_.codese().numero_record(); ++i)
      esenzioni_.emplace_back(trim(valore(tabelle_.codese().record(i), chiave(Tabella::codese))));
    if (comuni_.empty()) comuni_.push_back("058091");
  }

  std::uint64_t scrivi(std::ostream& out) {
    if (servizi_.empty()) return 0;
    std::uint64_t scritte = 0;
    std::uint64_t numero = 0;
    while (scritte < o_.righe) {
      ++numero;
      scritte += ricetta(out, numero);
    }
    return scritte;
  }

 private:
  int intero(int a, int b) { return std::uniform_int_distribution<int>(a, b)(caso_); }
  bool errore() { return o_.quota_errori > 0 && std::uniform_real_distribution<double>(0, 1)(caso_) < o_.quota_errori; }
  template <typename C>
  const auto& scegli(const C& c) { return c[static_cast<std::size_t>(intero(0, static_cast<int>(c.size()) - 1))]; }

  std::string codice_fiscale() {
    std::string cf;
    for (int i = 0; i < 6; ++i) cf.push_back(static_cast<char>('A' + intero(0, 25)));
    char b[16];
    std::snprintf(b, sizeof b, "%02d%c%02d%c%03d", intero(30, 99), "ABCDEHLMPRST"[intero(0, 11)],
                  intero(1, 28), 'A' + intero(0, 25), intero(100, 999));
    cf += b;
    cf.push_back('A');
    CONTROCF(cf);
    return cf;
  }

  // Writes one ricetta; returns its number of lines.
  std::uint64_t ricetta(std::ostream& out, std::uint64_t numero) {
    std::string l(222, ' ');
    auto metti = [&l](std::size_t pos, std::size_t len, const std::string& v) {
      std::string t = v.substr(0, len);
      t.resize(len, ' ');
      l.replace(pos - 1, len, t);
    };
    char num[24];
    // Realistic numbers: the count times a number prime to 10, modulo 10^12, gives every
    // number once over the whole range of twelve digits.
    const unsigned long long progressivo =
        o_.realistico ? numero * 7919999999ull % 1000000000000ull : numero;
    std::snprintf(num, sizeof num, "190A%012llu", progressivo);
    const int giorno = intero(2, 28);
    const std::string data = campo_data(giorno, o_.mese, o_.anno);
    const std::string prenotazione = campo_data(intero(1, giorno), o_.mese, o_.anno);
    const std::string branca = scegli(branche_visita);

    metti(1, 3, "190");
    metti(4, 3, "201");
    metti(7, 6, o_.codice_struttura);
    metti(15, 16, "RSSMRA" + std::to_string(intero(10000, 99999)));
    // A patient of its own: a surname made of two, a name and a codice fiscale drawn anew.
    metti(31, 30, o_.realistico ? std::string(scegli(cognomi)) + " " + scegli(cognomi) : scegli(cognomi));
    metti(61, 20, scegli(nomi));
    metti(81, 16, codice_fiscale());
    metti(97, 1, intero(0, 1) ? "1" : "2");
    metti(98, 8, campo_data(intero(1, 28), intero(1, 12), intero(1930, o_.anno - 1)));
    metti(106, 6, scegli(comuni_));
    metti(112, 3, "201");
    metti(115, 8, prenotazione);
    metti(123, 16, num);
    metti(146, 8, data);
    metti(154, 1, "x");
    metti(188, 1, "1");

    const int n = o_.realistico ? 4 : intero(1, 10);
    double totale = 0;
    std::uint64_t righe = 0;
    for (int i = 1; i <= n; ++i) {
      // A service the ricetta's specialty may deliver; realistic files take every service
      // in turn (with a specialty that may deliver it).
      const Servizio* s = o_.realistico ? &servizi_[prossimo_servizio_++ % servizi_.size()] : &scegli(servizi_);
      for (int tentativi = 0; !o_.realistico && tentativi < 20 && !s->branche.empty() &&
                              std::find(s->branche.begin(), s->branche.end(), branca) == s->branche.end();
           ++tentativi)
        s = &scegli(servizi_);
      const std::string b = s->branche.empty() || std::find(s->branche.begin(), s->branche.end(), branca) != s->branche.end()
                                ? branca
                                : s->branche.front();
      const int q = s->tariffa < 5 ? intero(1, 3) : 1;
      metti(13, 2, b);
      metti(139, 2, std::to_string(i));
      metti(155, 7, s->codice);
      char qt[8];
      std::snprintf(qt, sizeof qt, "%03d", q);
      metti(162, 3, qt);
      metti(165, 2, "");
      metti(167, 6, "");
      metti(173, 7, "");
      metti(180, 8, importo_virgola(s->tariffa * q, 8));
      metti(141, 5, "");
      totale += s->tariffa * q;
      std::string riga = l;
      if (errore()) guasta(riga);
      out << riga << "\r\n";
      ++righe;
    }

    // The closing row declares the ticket (at most 36.15 euro) and the net amount, or an
    // exemption without ticket.
    metti(13, 2, branca);
    metti(139, 2, "99");
    metti(155, 7, "");
    metti(162, 3, "");
    const bool esente = !esenzioni_.empty() && intero(0, 3) == 0;
    const long long cent_totale = static_cast<long long>(totale * 100 + 0.5);
    const long long cent_ticket = esente ? 0 : std::min<long long>(cent_totale, 3615);
    metti(165, 2, esente ? "01" : "02");
    metti(167, 6, esente ? scegli(esenzioni_) : "");
    metti(173, 7, importo_virgola(static_cast<double>(cent_ticket) / 100, 7));
    metti(180, 8, importo_virgola(static_cast<double>(cent_totale - cent_ticket) / 100, 8));
    if (errore()) guasta(l);
    out << l << "\r\n";
    return righe + 1;
  }

  // One typical error, written over a correct line.
  void guasta(std::string& l) {
    switch (intero(0, 7)) {
      case 0: l.replace(161, 3, "000"); break;                       // quantity 0
      case 1: l.replace(154, 7, "99.99.9"); break;                   // unknown service
      case 2: l.replace(179, 8, "0099,99 "); break;                  // wrong amount
      case 3: l[95] = l[95] == 'Z' ? 'A' : 'Z'; break;               // wrong check character
      case 4: l.replace(14, 16, std::string(16, ' ')); break;        // no doctor
      case 5: l.replace(0, 3, "191"); break;                         // wrong region
      case 6: l.replace(114, 8, campo_data(28, 12, o_.anno)); break; // booking after the service
      default: l.replace(140, 5, "ZZZZZ"); break;                    // unknown diagnosis
    }
  }

  OpzioniGeneratore o_;
  std::mt19937_64 caso_;
  Tabelle tabelle_;
  std::vector<Servizio> servizi_;
  std::size_t prossimo_servizio_ = 0;
  std::vector<std::string> comuni_;
  std::vector<std::string> esenzioni_;
};

}  // namespace

std::uint64_t genera_file(std::ostream& out, const std::filesystem::path& cartella,
                          const OpzioniGeneratore& o) {
  Generatore g(cartella, o);
  return g.scrivi(out);
}

}  // namespace flussom
