#include "reference/descrittori_tabelle.h"

#include <algorithm>
#include <iterator>

namespace flussom {

namespace {

constexpr bool in_ordine() {
  for (std::size_t i = 0; i < std::size(descrittori); ++i)
    if (static_cast<std::size_t>(descrittori[i].id) != i) return false;
  return std::size(descrittori) == numero_tabelle;
}
static_assert(in_ordine(), "the descriptors follow Tabella");

// Fixed-length records: the fields one after the other from the first byte, filling the
// record, each as wide as its kind wants. Comma-separated records: the fields numbered in
// order, of the kinds such a record can hold.
constexpr bool campi_al_posto(const DescrittoreTabella& d) {
  std::size_t fine = 0;
  for (std::size_t i = 0; i < d.campi.size(); ++i) {
    const CampoTabella& c = d.campi[i];
    if (d.lunghezza_record == 0) {
      if (c.inizio != i || (c.tipo != TipoCampo::codice && c.tipo != TipoCampo::testo &&
                            c.tipo != TipoCampo::esenzioni))
        return false;
      continue;
    }
    if (c.inizio != fine || c.lunghezza == 0 || c.tipo == TipoCampo::esenzioni) return false;
    if (c.tipo == TipoCampo::importo && c.lunghezza != larghezza_importo) return false;
    if (c.tipo == TipoCampo::branche && c.lunghezza % larghezza_branca != 0) return false;
    fine += c.lunghezza;
  }
  return d.lunghezza_record == 0 || fine == d.lunghezza_record;
}

// The key is a code, at the head of a fixed-length record (where the bisection reads it).
// A table without one is built from a source, beside a keyed table built before it.
constexpr bool chiave_al_posto(const DescrittoreTabella& d) {
  if (d.chiave == nessuna_chiave) {
    for (const DescrittoreTabella& e : descrittori) {
      if (e.id == d.id) return false;
      if (e.sorgente == d.sorgente && !d.sorgente.empty() && e.chiave != nessuna_chiave &&
          e.lunghezza_record != 0 && d.lunghezza_record != 0)
        return true;
    }
    return false;
  }
  return d.chiave < d.campi.size() && d.campi[d.chiave].tipo == TipoCampo::codice &&
         (d.lunghezza_record == 0 || d.campi[d.chiave].inizio == 0);
}

// The first table of a source lists its columns, the others none; a comma-separated table
// has a source of its own. Every field the builder fills from a value has a column of its
// name.
constexpr bool sorgente_al_posto(const DescrittoreTabella& d) {
  if (d.sorgente.empty()) return d.colonne.empty();
  // By index, not by pointer: the sanitizers' checks of a pointer are no constant expression.
  const std::size_t n = std::size(descrittori);
  std::size_t prima = n;
  for (std::size_t i = 0; i < n; ++i)
    if (descrittori[i].sorgente == d.sorgente) {
      if (prima == n) prima = i;
      if (i != prima && (descrittori[i].lunghezza_record == 0 || descrittori[prima].lunghezza_record == 0))
        return false;
    }
  if (prima == n || (descrittori[prima].id == d.id) == d.colonne.empty()) return false;
  if (d.lunghezza_record == 0) return true;
  for (const CampoTabella& c : d.campi) {
    if (c.tipo == TipoCampo::spazi || c.tipo == TipoCampo::zeri) continue;
    bool trovata = false;
    for (const Colonna& col : descrittori[prima].colonne) trovata = trovata || col.nome == c.nome;
    if (!trovata) return false;
  }
  return true;
}

constexpr bool tutti(bool (*prova)(const DescrittoreTabella&)) {
  for (const DescrittoreTabella& d : descrittori)
    if (!prova(d)) return false;
  return true;
}
static_assert(tutti(campi_al_posto), "the fields of a table lie within its record, one after the other");
static_assert(tutti(chiave_al_posto), "a key is a code at the head of its record");
static_assert(tutti(sorgente_al_posto), "the builder finds a column for every field it fills");

}  // namespace

const std::vector<Tabella>& tabelle_costruite() {
  static const std::vector<Tabella> tabelle = [] {
    std::vector<Tabella> t;
    for (const bool fisse : {true, false})
      for (const DescrittoreTabella& d : descrittori)
        if (!d.sorgente.empty() && (d.lunghezza_record != 0) == fisse) t.push_back(d.id);
    return t;
  }();
  return tabelle;
}

const std::vector<std::string_view>& sorgenti_tabelle() {
  static const std::vector<std::string_view> sorgenti = [] {
    std::vector<std::string_view> s;
    for (const Tabella t : tabelle_costruite())
      if (std::find(s.begin(), s.end(), descrittore(t).sorgente) == s.end()) s.push_back(descrittore(t).sorgente);
    return s;
  }();
  return sorgenti;
}

std::vector<Tabella> tabelle_di(std::string_view sorgente) {
  std::vector<Tabella> t;
  for (const Tabella x : tabelle_costruite())
    if (descrittore(x).sorgente == sorgente) t.push_back(x);
  return t;
}

}  // namespace flussom
