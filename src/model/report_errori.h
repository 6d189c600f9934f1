// errori.RPT: the error report of the last run, Windows-1252, every line ended by CR LF.
#pragma once

#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

#include "base/file_intero.h"
#include "model/riga_report.h"

namespace flussom {

class ReportErrori {
 public:
  ReportErrori() = default;  // in memory: lines are kept in contenuto()
  ~ReportErrori();
  ReportErrori(const ReportErrori&) = delete;
  ReportErrori& operator=(const ReportErrori&) = delete;

  // Deletes the report at `percorso` (a link in its place: the link) and creates it new and
  // empty, never through a link; every line is written through that one handle. A folder
  // in its place is left alone. False (with the reason in errore) when it cannot be
  // created.
  bool crea(const std::filesystem::path& percorso, std::string& errore);

  // The report written whole or not at all (a batch's report): the lines go to a temporary
  // beside `percorso` that chiudi renames over it. False when it cannot be started.
  bool crea_intero(const std::filesystem::path& percorso, std::string& errore);

  // Every line written from now on is also handed to `o` (none: nullptr).
  void osserva(OsservatoreReport* o) { osservatore_ = o; }

  // Appends one line made of the pieces, joined without separators; no pieces: empty line.
  // The observer gets `info` with the line's text.
  void scrivi(const RigaReport& info, std::initializer_list<std::string_view> pezzi);
  void scrivi(TipoRigaReport tipo, std::initializer_list<std::string_view> pezzi) {
    RigaReport info;
    info.tipo = tipo;
    scrivi(info, pezzi);
  }

  // Flushes and closes (a whole report then takes its place). False when something could not be written (reason in errore()).
  bool chiudi();

  // A whole report that is not to appear (the run was interrupted): dropped, the file at
  // its name untouched.
  void abbandona();

  bool in_errore() const { return !errore_.empty(); }
  const std::string& errore() const { return errore_; }
  const std::filesystem::path& percorso() const { return percorso_; }

  // Lines written so far and not yet flushed (everything, for an in-memory report).
  const std::string& contenuto() const { return buffer_; }

 private:
  void svuota();

  OsservatoreReport* osservatore_ = nullptr;
  std::FILE* file_ = nullptr;
  FileIntero intero_;  // used instead of file_ by a whole report
  std::filesystem::path percorso_;
  std::string buffer_;
  std::string errore_;
};

}  // namespace flussom
