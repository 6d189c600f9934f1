// flussom-genera: writes a realistic data file for trying and measuring the checker.
#include <CLI/CLI.hpp>

#include <fstream>
#include <iostream>

#include "generatore.h"

int main(int argc, char** argv) {
  flussom::OpzioniGeneratore o;
  std::string cartella, file;
  CLI::App app{"Genera un file dati realistico del Flusso M con le tabelle di una cartella",
               "flussom-genera"};
  app.add_option("--cartella", cartella, "Cartella delle tabelle")->required();
  app.add_option("--righe", o.righe, "Numero di righe (l'ultima ricetta viene completata)");
  app.add_option("--errori", o.quota_errori, "Quota di righe con un errore, da 0 a 1");
  app.add_option("--seme", o.seme, "Seme del generatore");
  app.add_option("--struttura", o.codice_struttura, "Codice della struttura");
  app.add_option("--anno", o.anno, "Anno delle prestazioni");
  app.add_option("--mese", o.mese, "Mese delle prestazioni");
  app.add_flag("--realistico", o.realistico,
               "Quattro prestazioni per ricetta, numeri sparsi, ogni prestazione delle tabelle");
  app.add_flag("--pazienti", o.pazienti,
               "Da una a otto prestazioni per ricetta, ogni ricetta con paziente, medico e date propri")
      ->excludes("--realistico");
  app.add_option("FILE", file, "File da scrivere")->required();
  CLI11_PARSE(app, argc, argv);
  std::ofstream out(file, std::ios::binary);
  if (!out) {
    std::cerr << "Impossibile scrivere " << file << "\n";
    return 2;
  }
  const auto n = flussom::genera_file(out, cartella, o);
  out.close();
  if (n == 0 || !out) {
    std::cerr << "Nessuna riga scritta (tabelle vuote o errore di scrittura)\n";
    return 2;
  }
  std::cerr << n << " righe scritte in " << file << "\n";
  return 0;
}
