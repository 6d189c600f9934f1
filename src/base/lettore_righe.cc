#include "base/lettore_righe.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>

#include "base/piattaforma.h"

namespace flussom {

namespace {

// The first CR or LF in [p, fine), or fine. memchr looks for each in short stretches, so
// that a file with one kind of break only does not send the search for the other to the
// end of the block at every line.
const char* prima_interruzione(const char* p, const char* fine) {
  constexpr std::ptrdiff_t tratto = 512;
  while (p < fine) {
    const auto n = static_cast<std::size_t>(std::min(tratto, fine - p));
    const auto* lf = static_cast<const char*>(std::memchr(p, '\n', n));
    const auto* cr = static_cast<const char*>(std::memchr(p, '\r', lf ? static_cast<std::size_t>(lf - p) : n));
    if (cr) return cr;
    if (lf) return lf;
    p += n;
  }
  return fine;
}

// No CR or LF among the n bytes at p: one pass without exits, which the compiler turns
// into vector instructions.
bool senza_interruzioni(const char* p, std::size_t n) {
  unsigned char trovate = 0;
  for (std::size_t i = 0; i < n; ++i) trovate |= static_cast<unsigned char>((p[i] == '\n') | (p[i] == '\r'));
  return trovate == 0;
}

}  // namespace

LettoreRighe::LettoreRighe(std::FILE* file) : file_(file) {}

LettoreRighe::LettoreRighe(std::FILE* file, std::string_view gia_letti) : file_(file) {
  capacita_ = std::max(blocco_iniziale, gia_letti.size());
  buffer_ = std::make_unique_for_overwrite<char[]>(capacita_);
  dati_ = buffer_.get();
  if (!gia_letti.empty()) std::memcpy(buffer_.get(), gia_letti.data(), gia_letti.size());
  fine_ = gia_letti.size();
}

LettoreRighe::LettoreRighe(std::string_view memoria)
    : file_(nullptr), dati_(memoria.data()), capacita_(memoria.size()), fine_(memoria.size()), eof_(true) {}

bool LettoreRighe::riempi() {
  if (eof_ || errore_) return false;
  // A small file (or the one line the facility lookup reads) gets a small block; the
  // block doubles while blocks come back full, up to dimensione_blocco.
  if (fine_ == capacita_ && capacita_ < dimensione_blocco) {
    capacita_ = capacita_ == 0 ? blocco_iniziale : capacita_ * 2;
    buffer_ = std::make_unique_for_overwrite<char[]>(capacita_);
    dati_ = buffer_.get();
  }
  letti_ += fine_;
  pos_ = 0;
  fine_ = 0;
  return leggi_blocco(capacita_);
}

bool LettoreRighe::leggi_blocco(std::size_t quanti) {
  errno = 0;
  const std::size_t n = std::fread(buffer_.get() + fine_, 1, quanti, file_);
  fine_ += n;
  if (n == 0) {
    if (std::ferror(file_)) errore_ = errno != 0 ? errno : EIO;
    eof_ = true;
    return false;
  }
  return true;
}

std::string_view LettoreRighe::anteprima(std::size_t massimo) {
  if (!dati_) {
    capacita_ = std::max(blocco_iniziale, massimo);
    buffer_ = std::make_unique_for_overwrite<char[]>(capacita_);
    dati_ = buffer_.get();
  }
  if (buffer_ && pos_ > 0 && fine_ - pos_ < massimo) {  // keep what is left at the start of the buffer
    std::memmove(buffer_.get(), buffer_.get() + pos_, fine_ - pos_);
    letti_ += pos_;
    fine_ -= pos_;
    pos_ = 0;
  }
  while (fine_ - pos_ < massimo && fine_ < capacita_ && !eof_ && !errore_)
    leggi_blocco(std::min(massimo - (fine_ - pos_), capacita_ - fine_));
  std::size_t inizio = pos_;
  if (cr_pendente_ && inizio < fine_ && dati_[inizio] == '\n') ++inizio;
  const char* p = dati_ + inizio;
  const std::size_t n = std::min(massimo, fine_ - inizio);
  return std::string_view(p, static_cast<std::size_t>(prima_interruzione(p, p + n) - p));
}

bool LettoreRighe::leggi(std::string_view& linea, std::uint64_t& lunghezza) {
  riga_.clear();
  lunghezza = 0;
  bool iniziata = false;
  for (;;) {
    if (pos_ == fine_ && !riempi()) {
      if (iniziata) {
        linea = riga_;
        return true;
      }
      return false;
    }
    if (cr_pendente_) {
      cr_pendente_ = false;
      if (dati_[pos_] == '\n') {
        ++pos_;
        continue;
      }
    }
    const char* inizio = dati_ + pos_;
    const char* fine = dati_ + fine_;
    // The lines of a file have one length: where the line before's length ends this one
    // too, a look for a break before it is enough.
    const std::size_t attesa = lunghezza_attesa_;
    const char* p = attesa > 0 && static_cast<std::size_t>(fine - inizio) > attesa &&
                            (inizio[attesa] == '\n' || inizio[attesa] == '\r') && senza_interruzioni(inizio, attesa)
                        ? inizio + attesa
                        : prima_interruzione(inizio, fine);
    const std::size_t n = static_cast<std::size_t>(p - inizio);
    lunghezza += n;
    iniziata = true;
    if (p < fine) {
      const char c = *p;
      pos_ += n + 1;
      if (c == '\r') {
        if (pos_ < fine_) {
          if (dati_[pos_] == '\n') ++pos_;
        } else {
          cr_pendente_ = true;
        }
      }
      if (riga_.empty() && lunghezza == n) {
        // The whole line lies in the block: no copy.
        linea = std::string_view(inizio, std::min(n, byte_conservati));
        lunghezza_attesa_ = n;
      } else {
        riga_.append(inizio, std::min(n, byte_conservati - std::min(riga_.size(), byte_conservati)));
        linea = riga_;
      }
      return true;
    }
    riga_.append(inizio, std::min(n, byte_conservati - std::min(riga_.size(), byte_conservati)));
    pos_ = fine_;
  }
}

std::string LettoreRighe::errore() const { return errore_ != 0 ? testo_errno(errore_) : std::string(); }

}  // namespace flussom
