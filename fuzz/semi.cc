// flussom-fuzz-semi IMPORTA TABELLE STRUTTURE: writes the seed inputs of the three fuzz
// targets into the three folders: data files made by the generator (clean, with errors, with
// other line ends); the base tables in the table fuzzer's format, whole, with one table
// missing, empty or cut in the middle of its last record; and for the facility fuzzer the
// facility table, a registration and the sample CSV sources.
#include <cstdio>
#include <filesystem>
#include <string>

#include "ambiente.h"

namespace fs = std::filesystem;
using namespace flussom::fuzz;

namespace {

std::string sostituisci(std::string s, const std::string& da, const std::string& a) {
  for (std::size_t i = 0; (i = s.find(da, i)) != std::string::npos; i += a.size()) s.replace(i, da.size(), a);
  return s;
}

std::string unisci(const std::vector<std::string>& parti) {
  std::string s;
  for (std::size_t k = 0; k < parti.size(); ++k) {
    if (k > 0) s += separatore;
    s += parti[k];
  }
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "uso: flussom-fuzz-semi CARTELLA_IMPORTA CARTELLA_TABELLE CARTELLA_STRUTTURE\n");
    return 2;
  }
  const fs::path importa = argv[1], tabelle = argv[2], strutture = argv[3];
  fs::create_directories(importa);
  fs::create_directories(tabelle);
  fs::create_directories(strutture);

  scrivi(importa / "corretto-10", genera_dati(10, 0, 1));
  scrivi(importa / "corretto-40", genera_dati(40, 0, 2));
  scrivi(importa / "errori-30", genera_dati(30, 0.3, 3));
  scrivi(importa / "errori-60", genera_dati(60, 0.1, 4));
  const std::string piccolo = genera_dati(12, 0.2, 5);
  scrivi(importa / "lf", sostituisci(piccolo, "\r\n", "\n"));
  scrivi(importa / "cr", sostituisci(piccolo, "\r\n", "\r"));
  scrivi(importa / "senza-fine", piccolo.substr(0, piccolo.size() - 2));
  scrivi(importa / "riga-corta", piccolo.substr(0, 224 * 3) + piccolo.substr(224 * 3 + 5));
  scrivi(importa / "vuoto", "");

  const std::vector<std::string>& base = ambiente().contenuti;
  scrivi(tabelle / "base", unisci(base));
  for (std::size_t k = 0; k < nomi_tabelle.size(); ++k) {
    std::vector<std::string> p = base;
    p[k] = std::string(assente);
    scrivi(tabelle / ("senza-" + std::string(nomi_tabelle[k])), unisci(p));
    p[k].clear();
    scrivi(tabelle / ("vuota-" + std::string(nomi_tabelle[k])), unisci(p));
    p[k] = base[k].substr(0, base[k].size() > 5 ? base[k].size() - 5 : 0);
    scrivi(tabelle / ("tronca-" + std::string(nomi_tabelle[k])), unisci(p));
  }
  scrivi(tabelle / "nessuna", "");

  // The facility fuzzer: strutture.DAT, the registration's boxes, the five CSV sources.
  std::vector<std::string> s{base[0], "654321\nvia roma ambulatorio\n08\n9\n"};
  for (const std::string_view nome : flussom::sorgenti_tabelle())
    s.push_back(sorgente_di_esempio(nome));
  scrivi(strutture / "base", unisci(s));
  s[0] = base[0].substr(0, base[0].size() - 2);  // no final line break
  scrivi(strutture / "senza-a-capo", unisci(s));
  s[0] = "\"1\",\"A, B\",\"02\",\"\",\"\"\r\n\"654321\",\"GIA\",\"08\",\"\",\"\"";
  s[1] = "654321\nNUOVA\n08\n\n";
  scrivi(strutture / "doppia", unisci(s));
  return 0;
}
