#include "check/lettore_righe.h"

#include <algorithm>

namespace flussom {

LettoreRighe::LettoreRighe(std::FILE* file) : file_(file), buffer_(1 << 20) {}

bool LettoreRighe::riempi() {
  if (eof_ || errore_) return false;
  fine_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
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
    const char* inizio = buffer_.data() + pos_;
    const char* fine = buffer_.data() + fine_;
    const char* p = inizio;
    while (p < fine && *p != '\r' && *p != '\n') ++p;
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
