// A deterministic generator of realistic data files: ricette of 1 to 10 services with the
// codes, tariffs, specialties, municipalities and exemptions of the tables of a folder,
// and a chosen share of lines carrying one typical error.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>

namespace flussom {

struct OpzioniGeneratore {
  std::uint64_t righe = 1000;        // lines to write (the last ricetta is completed)
  double quota_errori = 0;           // share of lines that carry an error, 0 to 1
  std::uint64_t seme = 1;            // same seed, same file
  std::string codice_struttura = "123456";
  int anno = 2026;                   // year of the services
  int mese = 10;                     // month of the services
  // The shape of a month of a busy facility: four services a ricetta (five lines with the
  // closing row), prescription numbers scattered over their whole range, a patient of its
  // own for every ricetta, and the services taken in turn, so that every code of the
  // tables is in use. Otherwise 1 to 10 services a ricetta, numbers counted up.
  bool realistico = false;
  // The shape of a month of many patients: one to eight services a ricetta (about five
  // lines), and for every ricetta a patient, a doctor, a booking and dates of its own,
  // scattered prescription numbers, services drawn from the whole tables and diagnoses on
  // some lines. Clean unless errors are asked for.
  bool pazienti = false;
};

// Writes the file to `out` with CR LF line ends, using the tables in `cartella`.
// Returns the number of lines written (0 when the tables hold no service).
std::uint64_t genera_file(std::ostream& out, const std::filesystem::path& cartella,
                          const OpzioniGeneratore& o);

}  // namespace flussom
