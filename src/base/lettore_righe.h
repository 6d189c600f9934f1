// Reads a data file line by line in large blocks. CR LF, CR and a lone LF each end a line;
// a last line without a break is read too. Only the first bytes of a very long line are
// kept (the fields end at position 188), but its whole length is counted, so memory stays
// constant whatever the file holds.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace flussom {

class LettoreRighe {
 public:
  static constexpr std::size_t byte_conservati = 4096;
  static constexpr std::size_t blocco_iniziale = 1 << 16;
  static constexpr std::size_t dimensione_blocco = 1 << 20;

  explicit LettoreRighe(std::FILE* file);
  // Reads `gia_letti` first, then the rest of `file`.
  LettoreRighe(std::FILE* file, std::string_view gia_letti);
  // Reads the bytes of `memoria` as a whole file, without a copy: they must outlive the reader.
  explicit LettoreRighe(std::string_view memoria);

  // The next line without its break, valid until the next call, and its full length.
  // False at the end of the file or on a read error (see errore()).
  bool leggi(std::string_view& linea, std::uint64_t& lunghezza);

  // The first line (without its break) from what has not been read yet, reading no more
  // than `massimo` bytes for it: the line is cut there. A later leggi() reads the same line
  // again, whole. Empty at the end of the file.
  std::string_view anteprima(std::size_t massimo);

  // The bytes already read past the line leggi() gave last: the start of the lines to come,
  // as far as the block holds them (nothing is read for it). Valid until the next call.
  std::string_view gia_letto() const { return std::string_view(dati_ + pos_, fine_ - pos_); }

  // A read failed; reading stops there and every later call finds nothing.
  bool in_errore() const { return errore_ != 0; }
  // Why the read failed, as the system says it (empty when none failed).
  std::string errore() const;
  // Everything has been read.
  bool fine_file() const { return eof_ && pos_ == fine_; }
  // Where the next line starts, in bytes from where reading began; when cr_pendente(), the
  // line before ended on a CR at the end of a block and a LF found there still belongs to it.
  std::uint64_t posizione() const { return letti_ + pos_; }
  bool cr_pendente() const { return cr_pendente_; }

 private:
  bool riempi();
  bool leggi_blocco(std::size_t quanti);  // appends up to `quanti` bytes to the buffer

  std::FILE* file_;
  // Left uninitialised: zeroing it would cost more than reading a small file.
  std::unique_ptr<char[]> buffer_;
  const char* dati_ = nullptr;  // the bytes read: the buffer's, or those given to read
  std::size_t capacita_ = 0;
  std::size_t pos_ = 0;
  std::size_t fine_ = 0;
  std::uint64_t letti_ = 0;  // bytes before the buffer's first
  bool cr_pendente_ = false;  // the last block ended on a CR: a LF that follows belongs to it
  int errore_ = 0;
  bool eof_ = false;
  std::string riga_;  // a line that spans two blocks
  std::size_t lunghezza_attesa_ = 0;  // of the last line read whole from the block
};

}  // namespace flussom
