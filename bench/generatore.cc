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
    for (std::size_t i = 1; i <= tabelle_.icd9().numero_record(); ++i)
      diagnosi_.emplace_back(trim(valore(tabelle_.icd9().record(i), chiave(Tabella::icd9))));
    if (diagnosi_.empty()) diagnosi_.push_back("");
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
    return CONTROCF(cf);
  }

  // Writes `v` at a 1-based position of the line, cut or padded with blanks to `len`.
  static void metti(std::string& l, std::size_t pos, std::size_t len, std::string_view v) {
    v = v.substr(0, std::min(len, v.size()));
    l.replace(pos - 1, v.size(), v);
    l.replace(pos - 1 + v.size(), len - v.size(), len - v.size(), ' ');
  }

  // A date of the month of the services; `dal`: the first day it may fall on.
  std::string giorno_del_mese(int dal) { return campo_data(intero(dal, 28), o_.mese, o_.anno); }

  // A booking on or before the service day `giorno`: up to two months earlier for a file of
  // many patients, otherwise in the same month.
  std::string prenotazione(int giorno) {
    if (!o_.pazienti) return campo_data(intero(1, giorno), o_.mese, o_.anno);
    const int mese = intero(std::max(1, o_.mese - 2), o_.mese);
    return campo_data(intero(1, mese == o_.mese ? giorno : 28), mese, o_.anno);
  }

  // The fields of the ricetta that every one of its lines repeats: facility, doctor,
  // patient, booking, prescription number.
  void testata(std::string& l, std::uint64_t numero, const std::string& prenotata) {
    char num[24];
    // Scattered numbers: the count times a number prime to 10, modulo 10^12, gives every
    // number once over the whole range of twelve digits.
    const unsigned long long progressivo =
        o_.realistico || o_.pazienti ? numero * 7919999999ull % 1000000000000ull : numero;
    std::snprintf(num, sizeof num, "190A%012llu", progressivo);
    metti(l, 1, 3, "190");
    metti(l, 4, 3, "201");
    metti(l, 7, 6, o_.codice_struttura);
    metti(l, 15, 16, o_.pazienti ? codice_fiscale() : "RSSMRA" + std::to_string(intero(10000, 99999)));
    // A patient of its own: a surname made of two, a name and a codice fiscale drawn anew.
    const bool doppio = o_.realistico || o_.pazienti;
    metti(l, 31, 30, doppio ? std::string(scegli(cognomi)) + " " + scegli(cognomi) : scegli(cognomi));
    metti(l, 61, 20, scegli(nomi));
    metti(l, 81, 16, codice_fiscale());
    metti(l, 97, 1, intero(0, 1) ? "1" : "2");
    metti(l, 98, 8, campo_data(intero(1, 28), intero(1, 12), intero(1930, o_.anno - 1)));
    metti(l, 106, 6, scegli(comuni_));
    metti(l, 112, 3, o_.pazienti ? std::to_string(201 + intero(0, 8)) : "201");
    metti(l, 115, 8, prenotata);
    metti(l, 123, 16, num);
    metti(l, 154, 1, "x");
    metti(l, 188, 1, "1");
  }

  // A service the ricetta's specialty may deliver; realistic files take every service in
  // turn (with a specialty that may deliver it).
  const Servizio& servizio(const std::string& branca) {
    if (o_.realistico) return servizi_[prossimo_servizio_++ % servizi_.size()];
    const Servizio* s = &scegli(servizi_);
    for (int tentativi = 0; tentativi < 20 && !s->branche.empty() &&
                            std::find(s->branche.begin(), s->branche.end(), branca) == s->branche.end();
         ++tentativi)
      s = &scegli(servizi_);
    return *s;
  }

  // How many services the ricetta has.
  int quanti_servizi() {
    if (o_.realistico) return 4;
    // One to seven, and one more in thirteen ricette: 197,000 ricette in a million lines.
    if (o_.pazienti) return intero(1, 7) + (intero(0, 12) == 0 ? 1 : 0);
    return intero(1, 10);
  }

  // Writes one ricetta; returns its number of lines.
  std::uint64_t ricetta(std::ostream& out, std::uint64_t numero) {
    std::string l(222, ' ');
    const int giorno = intero(2, 28);
    const std::string prenotata = prenotazione(giorno);
    const std::string branca = scegli(branche_visita);
    testata(l, numero, prenotata);
    metti(l, 146, 8, campo_data(giorno, o_.mese, o_.anno));

    const int n = quanti_servizi();
    double totale = 0;
    for (int i = 1; i <= n; ++i) {
      const Servizio& s = servizio(branca);
      const bool consona = s.branche.empty() || std::find(s.branche.begin(), s.branche.end(), branca) != s.branche.end();
      const int q = s.tariffa < 5 ? intero(1, 3) : 1;
      metti(l, 13, 2, consona ? branca : s.branche.front());
      metti(l, 139, 2, std::to_string(i));
      metti(l, 155, 7, s.codice);
      char qt[8];
      std::snprintf(qt, sizeof qt, "%03d", q);
      metti(l, 162, 3, qt);
      metti(l, 165, 15, "");  // ticket position, exemption, ticket
      metti(l, 180, 8, importo_virgola(s.tariffa * q, 8));
      // Many patients: a diagnosis on half the lines, the later services on later days.
      metti(l, 141, 5, o_.pazienti && intero(0, 1) ? scegli(diagnosi_) : "");
      if (o_.pazienti && i > 1) metti(l, 146, 8, giorno_del_mese(giorno));
      totale += s.tariffa * q;
      std::string riga = l;
      if (errore()) guasta(riga);
      out << riga << "\r\n";
    }
    chiusura(out, l, branca, totale);
    return static_cast<std::uint64_t>(n) + 1;
  }

  // The closing row declares the ticket (at most 36.15 euro) and the net amount, or an
  // exemption without ticket.
  void chiusura(std::ostream& out, std::string& l, const std::string& branca, double totale) {
    metti(l, 13, 2, branca);
    metti(l, 139, 2, "99");
    metti(l, 155, 10, "");
    const bool esente = !esenzioni_.empty() && intero(0, 3) == 0;
    const long long cent_totale = static_cast<long long>(totale * 100 + 0.5);
    const long long cent_ticket = esente ? 0 : std::min<long long>(cent_totale, 3615);
    metti(l, 165, 2, esente ? "01" : "02");
    metti(l, 167, 6, esente ? scegli(esenzioni_) : "");
    metti(l, 173, 7, importo_virgola(static_cast<double>(cent_ticket) / 100, 7));
    metti(l, 180, 8, importo_virgola(static_cast<double>(cent_totale - cent_ticket) / 100, 8));
    if (errore()) guasta(l);
    out << l << "\r\n";
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
  std::vector<std::string> diagnosi_;
};

}  // namespace

std::uint64_t genera_file(std::ostream& out, const std::filesystem::path& cartella,
                          const OpzioniGeneratore& o) {
  Generatore g(cartella, o);
  return g.scrivi(out);
}

}  // namespace flussom
