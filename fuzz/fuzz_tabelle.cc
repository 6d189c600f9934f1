// libFuzzer target: the reference tables themselves are fuzzed. The input is split into
// strutture.DAT, NOESE.DAT and the six fixed-record tables (see dividi_parti); missing, empty
// and truncated tables come out of the mutations. A fixed data file made by the generator
// is then checked against them. Every run must leave each table it found byte for byte as
// it was, create only the empty keyed tables a lookup may create, and leave the data file
// alone.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "ambiente.h"
#include "risultati/riepilogo_csv.h"
#include "run/importa.h"

namespace fs = std::filesystem;
using namespace flussom;
using namespace flussom::fuzz;

namespace {

// A few ricette with typical errors, so that most checks read the tables.
const std::string& dati_fissi() {
  static const std::string d = genera_dati(40, 0.15, 7);
  return d;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Ambiente& a = ambiente();
  const fs::path cartella = a.radice / "tabelle";
  const fs::path file = a.dati / "FLM102026.txt";
  static const bool pronto = [&] {
    fs::create_directories(cartella);
    scrivi(file, dati_fissi());
    return true;
  }();
  (void)pronto;

  const std::vector<std::string_view> parti =
      dividi_parti(std::string_view(reinterpret_cast<const char*>(data), size));
  bool presente[nomi_tabelle.size()] = {};
  for (std::size_t k = 0; k < nomi_tabelle.size(); ++k) {
    const fs::path p = cartella / nomi_tabelle[k];
    presente[k] = k < parti.size() && parti[k] != assente;
    if (presente[k]) {
      scrivi(p, parti[k]);
    } else {
      std::error_code ec;
      fs::remove(p, ec);
    }
  }

  InterfacciaMuta ui;
  const RisultatoRun r = importa(ParametriRun{file, cartella}, ui, orologio_fisso());

  switch (r.esito) {
    case EsitoRun::corretto:
    case EsitoRun::con_errori:
    case EsitoRun::struttura_non_trovata:
      break;
    default:
      guasto("esito inatteso");
  }
  if (leggi(file) != dati_fissi()) guasto("il file dati e' cambiato");
  // The facility's name comes from the fuzzed strutture.DAT.
  controlla_csv(riga_riepilogo(file.string(), r, 0), 1, 14);
  for (std::size_t k = 0; k < nomi_tabelle.size(); ++k) {
    const fs::path p = cartella / nomi_tabelle[k];
    if (presente[k]) {
      if (leggi(p) != parti[k]) guasto("tabella cambiata: " + std::string(nomi_tabelle[k]));
    } else if (fs::exists(p)) {
      if (!creata_se_manca(nomi_tabelle[k])) guasto("tabella creata: " + std::string(nomi_tabelle[k]));
      if (fs::file_size(p) != 0) guasto("tabella creata non vuota: " + std::string(nomi_tabelle[k]));
    }
  }
  std::size_t voci = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(cartella)) ++voci;
  std::size_t attese = 2;  // errori.RPT and its lock
  for (const std::string_view nome : nomi_tabelle) attese += fs::exists(cartella / nome) ? 1 : 0;
  if (voci != attese) guasto("file inattesi nella cartella");
  return 0;
}
