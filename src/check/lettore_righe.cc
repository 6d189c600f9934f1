#include "check/lettore_righe.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

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

}  // namespace

LettoreRighe::LettoreRighe(std::FILE* file) : file_(file) {}

bool LettoreRighe::riempi() {
  if (eof_ || errore_) return false;
  // A small file (or the one line the facility lookup reads) gets a small block; the
  // block doubles while blocks come back full, up to dimensione_blocco.
  if (fine_ == capacita_ && capacita_ < dimensione_blocco) {
    capacita_ = capacita_ == 0 ? blocco_iniziale : capacita_ * 2;
    buffer_ = std::make_unique_for_overwrite<char[]>(capacita_);
  }
  fine_ = std::fread(buffer_.get(), 1, capacita_, file_);
  pos_ = 0;
  if (fine_ == 0) {
    if (std::ferror(file_)) errore_ = true;
    eof_ = true;
    return false;
  }
  return true;
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
      if (buffer_[pos_] == '\n') {
        ++pos_;
        continue;
      }
    }
    const char* inizio = buffer_.get() + pos_;
    const char* fine = buffer_.get() + fine_;
    const char* p = prima_interruzione(inizio, fine);
    const std::size_t n = static_cast<std::size_t>(p - inizio);
    lunghezza += n;
    iniziata = true;
    if (p < fine) {
      const char c = *p;
      pos_ += n + 1;
      if (c == '\r') {
        if (pos_ < fine_) {
          if (buffer_[pos_] == '\n') ++pos_;
        } else {
          cr_pendente_ = true;
        }
      }
      if (riga_.empty() && lunghezza == n) {
        // The whole line lies in the block: no copy.
        linea = std::string_view(inizio, std::min(n, byte_conservati));
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

}  // namespace flussom
