#include "run/controllo_pezzo.h"

#include "base/lettore_righe.h"
#include "model/indice_ricette.h"
#include "model/report_errori.h"
#include "rules/percorso_riga.h"
#include "rules/regole_ricetta.h"

namespace flussom {

namespace {

// How often the line loop asks whether the run is to stop.
constexpr std::int64_t righe_tra_domande = 4096;

// Keeps the report's lines with their texts.
class Registro : public OsservatoreReport {
 public:
  explicit Registro(std::vector<RigaPezzo>& righe) : righe_(righe) {}
  void riga_report(const RigaReport& r) override {
    RigaPezzo& p = righe_.emplace_back();
    p.info = r;
    p.testo = r.testo;
    p.ricetta = r.ricetta;
    p.info.testo = {};
    p.info.ricetta = {};
  }

 private:
  std::vector<RigaPezzo>& righe_;
};

// The line's facility: that of the piece's first line, which is registered.
bool stessa_struttura(StatoRun& s, const TabellaStrutture& strutture, EsitoPezzo& e) {
  if (s.totali.nrighe > 1) return s.riga.cod_struttura == e.codice_struttura;
  const Struttura* st = strutture.cerca(s.riga.cod_struttura);
  if (!st) return false;
  e.codice_struttura = s.riga.cod_struttura;
  s.codice_struttura = st->codice;
  return true;
}

// The ricetta and the counters as the last line left them.
void prendi_fine(const StatoRun& s, EsitoPezzo& e) {
  e.righe = s.totali.nrighe;
  e.ricette = s.totali.nricette;
  e.blocchi = s.totali.nric_errate;
  e.errori = s.risu;
  e.nprest = s.ricetta.nprest;
  e.ric_corrente = s.ricetta.ric_corrente;
  e.err_ricetta = s.ricetta.err_ricetta;
  e.riga_inizio = s.ricetta.riga_inizio;
  e.ric_aperta = s.ricetta.ric_aperta;
}

// Looks the numbers up, or adds them, each place fetched a few numbers ahead (the index is
// larger than the processor's cache).
template <typename Azione>
bool per_ogni_numero(const IndiceRicette& precedenti, const ElencoNumeri& numeri, Azione azione) {
  constexpr std::size_t avanti = 8;
  for (std::size_t i = 0; i < numeri.size(); ++i) {
    if (i + avanti < numeri.size()) precedenti.anticipa(numeri[i + avanti]);
    if (!azione(numeri[i])) return false;
  }
  return true;
}

// The counters, sums, numbers and ricetta of a piece taken in.
void prendi_totali(StatoRun& s, IndiceRicette& precedenti, const EsitoPezzo& e) {
  const std::int64_t righe_prima = s.totali.nrighe;
  s.totali.nrec += e.righe;
  s.totali.nrighe += e.righe;
  s.totali.nricette += e.ricette;
  s.totali.nric_errate += e.blocchi;
  e.addendi.aggiungi_a(s.totali);
  s.risu = s.risu || e.errori;
  per_ogni_numero(precedenti, e.aggiunti, [&](std::string_view n) { return precedenti.aggiungi(n), true; });
  RicettaCorrente& r = s.ricetta;
  r.ric_corrente = e.ric_corrente;
  r.err_ricetta = e.err_ricetta;
  r.riga_inizio = e.riga_inizio + righe_prima;
  r.ric_aperta = e.ric_aperta;
}

}  // namespace

bool pezzo_valido(const StatoRun& s, const IndiceRicette& precedenti, const EsitoPezzo& e) {
  const RicettaCorrente& r = s.ricetta;
  if (e.da_rifare || e.nprest != 0 || r.nprest != 0 || r.ric_aperta) return false;
  if (r.err_ricetta && e.primo_numero == r.ric_corrente) return false;
  return per_ogni_numero(precedenti, e.cercati, [&](std::string_view n) { return !precedenti.contiene(n); });
}

void prendi_pezzo(StatoRun& s, IndiceRicette& precedenti, const EsitoPezzo& e) {
  const std::int64_t righe_prima = s.totali.nrighe;
  if (s.ricetta.err_ricetta) chiudi_blocco(s, righe_prima);
  const std::int64_t blocchi_prima = s.totali.nric_errate;
  for (const RigaPezzo& r : e.report) {
    RigaReport info = r.info;
    if (info.riga > 0) info.riga += righe_prima;
    if (info.tipo == TipoRigaReport::blocco)
      scrivi_blocco(s.report, info.numero + blocchi_prima, r.ricetta, info.prima_riga + righe_prima,
                    info.ultima_riga + righe_prima);
    else
      s.report.scrivi(info, {r.testo});
  }
  prendi_totali(s, precedenti, e);
}

void ControlloPezzo::controlla(std::string_view pezzo, EsitoPezzo& e) {
  e = EsitoPezzo{};
  ReportErrori report;
  Registro registro(e.report);
  report.osserva(&registro);
  StatoRun s(report, tabelle_, anno_corrente_);
  s.addendi = &e.addendi;
  IndiceRicette locale;
  locale.prevedi(pezzo.size());
  LettoreRighe righe(pezzo);
  std::string_view linea;
  std::uint64_t lunghezza = 0;
  std::string ultimo;  // the number of the line before
  while (righe.leggi(linea, lunghezza)) {
    const bool fermato = s.totali.nrighe % righe_tra_domande == 0 && interrompi_ &&
                         interrompi_->load(std::memory_order_relaxed);
    if (lunghezza != lunghezza_riga || fermato) {
      e.da_rifare = true;
      return;
    }
    ++s.totali.nrighe;
    conta_riga(s);
    leggi_riga(s, linea);
    if (!stessa_struttura(s, strutture_, e)) {
      e.da_rifare = true;
      return;
    }
    const std::string_view numero = s.riga.num_ricetta;
    if (s.totali.nrighe == 1) e.primo_numero = numero;
    if (s.ricetta.nprest == 1 && !s.e_riga_99()) e.cercati.aggiungi(numero);
    if (s.totali.nrighe == 1 || numero != ultimo) {
      e.aggiunti.aggiungi(numero);
      ultimo = numero;
    }
    percorri_riga(s, locale);
  }
  prendi_fine(s, e);
}

}  // namespace flussom
