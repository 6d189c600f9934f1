// Reads a reference table back as CSV, so that a maintainer can see what a table holds.
#pragma once

#include <filesystem>
#include <string>

namespace flussom {

// The table `file` as CSV text (Windows-1252, LF line ends, one header line), the table
// being recognised by its file name (case ignored):
//   TERAPIE.DAT   codice,descrizione,tariffa,branche,sconto (specialties and the plain
//                 discount from TERA001.DAT and SCONTI.DAT of the same folder, when there)
//   TERA001.DAT   numero,branche          SCONTI.DAT   numero,codice,sconto
//   ICD9.DAT, COMUXX.DAT, CODESE.DAT      codice,descrizione
//   NOESE.DAT     prestazione,campo2,campo3,campo4,campo5
// A partial last record is left out, as the checks leave it. False, with the reason in
// `errore` (Windows-1252), for an unknown name or an unreadable file.
bool tabella_in_csv(const std::filesystem::path& file, std::string& csv, std::string& errore);

}  // namespace flussom
