#include "model/report_errori.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#include "base/file_sicuro.h"
#include "base/piattaforma.h"

namespace flussom {

namespace {
constexpr std::size_t soglia_scrittura = 1 << 16;
}

// A whole report that was never closed (an exception ended its run) does not appear.
ReportErrori::~ReportErrori() {
  if (intero_.aperto())
    abbandona();
  else
    chiudi();
}

bool ReportErrori::crea(const std::filesystem::path& percorso, std::string& errore) {
  chiudi();
  buffer_.clear();
  errore_.clear();
  percorso_ = percorso;
  std::error_code ec;
  // A folder in the report's place is the user's, not an old report: it is left alone.
  if (std::filesystem::symlink_status(percorso_, ec).type() == std::filesystem::file_type::directory)
    errore_ = "\xE8 una cartella";
  else if (!std::filesystem::remove(percorso_, ec) && ec)
    errore_ = testo_errore(ec);
  else
    file_ = crea_file_nuovo(percorso_, errore_);
  if (!file_) errore = errore_;
  return file_ != nullptr;
}

bool ReportErrori::crea_intero(const std::filesystem::path& percorso, std::string& errore) {
  chiudi();
  buffer_.clear();
  errore_.clear();
  percorso_ = percorso;
  if (!intero_.apri(percorso_, errore_)) errore = errore_;
  return intero_.aperto();
}

void ReportErrori::scrivi(const RigaReport& info, std::initializer_list<std::string_view> pezzi) {
  const std::size_t inizio = buffer_.size();
  for (std::string_view p : pezzi) buffer_.append(p);
  if (osservatore_) {
    RigaReport r = info;
    r.testo = std::string_view(buffer_).substr(inizio);
    osservatore_->riga_report(r);
  }
  buffer_.append("\r\n");
  if ((file_ || intero_.aperto()) && buffer_.size() >= soglia_scrittura) svuota();
}

void ReportErrori::svuota() {
  if (buffer_.empty()) return;
  if (intero_.aperto()) {
    if (!intero_.scrivi(buffer_) && errore_.empty()) errore_ = intero_.errore();
    buffer_.clear();
    return;
  }
  if (!file_) return;
  if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size() && errore_.empty())
    errore_ = testo_errno(errno);
  buffer_.clear();
}

void ReportErrori::abbandona() {
  intero_.annulla();
  buffer_.clear();
}

bool ReportErrori::chiudi() {
  if (intero_.aperto()) {
    svuota();
    std::string motivo;
    if (!intero_.completa(motivo) && errore_.empty()) errore_ = motivo;
    return errore_.empty();
  }
  if (!file_) return errore_.empty();
  svuota();
  if (std::fflush(file_) != 0 && errore_.empty()) errore_ = testo_errno(errno);
  if (std::fclose(file_) != 0 && errore_.empty()) errore_ = testo_errno(errno);
  file_ = nullptr;
  return errore_.empty();
}

}  // namespace flussom
