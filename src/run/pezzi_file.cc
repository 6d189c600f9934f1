#include "run/pezzi_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/piattaforma.h"
#include "model/riga_flusso.h"

namespace flussom {

namespace {

bool e_interruzione(char c) { return c == '\n' || c == '\r'; }

// Where the line after the break at p[i] begins: past a LF, a CR LF or a lone CR; 0 when the
// break is a CR whose next byte has not been read yet.
std::size_t dopo_interruzione(const char* p, std::size_t n, std::size_t i, bool fine_file) {
  if (p[i] == '\n') return i + 1;
  if (i + 1 < n) return p[i + 1] == '\n' ? i + 2 : i + 1;
  return fine_file ? i + 1 : 0;
}

// The line that ends at the break p[i] has the length of a data line and "99" as its row
// number: most likely a closing row.
bool sembra_chiusura(const char* p, std::size_t i) {
  static const std::size_t posizione = posizione_campo(CampoRiga::progressivo).posizione - 1;
  if (i < lunghezza_riga) return false;
  const char* riga = p + i - lunghezza_riga;
  if (i > lunghezza_riga && !e_interruzione(riga[-1])) return false;
  if (riga[posizione] != '9' || riga[posizione + 1] != '9') return false;
  return !std::memchr(riga, '\n', lunghezza_riga) && !std::memchr(riga, '\r', lunghezza_riga);
}

}  // namespace

LettorePezzi::LettorePezzi(std::FILE* file, std::string_view gia_letti) : file_(file), resto_(gia_letti) {}

std::size_t LettorePezzi::taglio(const char* p, std::size_t n, std::size_t dimensione, bool fine_file, bool pieno) {
  // From `dimensione` on, the first line end after a closing row; past the margin, the first
  // line end of all.
  std::size_t prima = 0;
  for (std::size_t i = dimensione; i < n; ++i) {
    if (!e_interruzione(p[i])) continue;
    const std::size_t dopo = dopo_interruzione(p, n, i, fine_file);
    if (dopo == 0) break;
    if (sembra_chiusura(p, i)) return dopo;
    if (prima == 0) prima = dopo;
    if (dopo >= dimensione + margine(dimensione)) return prima;
    i = dopo - 1;
  }
  if (fine_file) return n;
  return pieno ? prima : 0;
}

bool LettorePezzi::leggi(Pezzo& pezzo, std::size_t fino_a) {
  while (pezzo.quanti_ < fino_a) {
    errno = 0;
    const std::size_t n = std::fread(pezzo.byte_.get() + pezzo.quanti_, 1, fino_a - pezzo.quanti_, file_);
    pezzo.quanti_ += n;
    if (n == 0) {
      if (std::ferror(file_)) errore_ = errno != 0 ? errno : EIO;
      eof_ = true;
      return false;
    }
  }
  return true;
}

bool LettorePezzi::prossimo(Pezzo& pezzo, std::size_t dimensione) {
  dimensione = std::max<std::size_t>(dimensione, 1);
  const std::size_t capacita = std::max(dimensione + margine(dimensione), resto_.size());
  if (pezzo.capacita_ < capacita) {
    pezzo.byte_ = std::make_unique_for_overwrite<char[]>(capacita);
    pezzo.capacita_ = capacita;
  }
  char* const p = pezzo.byte_.get();
  pezzo.quanti_ = resto_.size();
  if (!resto_.empty()) std::memcpy(p, resto_.data(), resto_.size());
  resto_.clear();
  for (;;) {
    const std::size_t obiettivo =
        pezzo.quanti_ < dimensione ? dimensione : std::min(capacita, pezzo.quanti_ + 16 * lunghezza_riga);
    if (!eof_) leggi(pezzo, obiettivo);
    // What was read stays for the reading line by line that takes over.
    if (errore_ != 0 || pezzo.quanti_ == 0) break;
    if (const std::size_t t = taglio(p, pezzo.quanti_, dimensione, eof_, pezzo.quanti_ >= capacita); t > 0) {
      resto_.assign(p + t, pezzo.quanti_ - t);
      pezzo.quanti_ = t;
      return true;
    }
    if (pezzo.quanti_ >= capacita) break;
  }
  resto_.assign(p, pezzo.quanti_);
  pezzo.quanti_ = 0;
  return false;
}

std::string LettorePezzi::errore() const { return errore_ != 0 ? testo_errno(errore_) : std::string(); }

}  // namespace flussom
