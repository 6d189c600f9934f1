// A data file cut into pieces of whole lines, for checking on two cores. A piece ends where
// a line ends as the line reader sees it (a LF, a CR LF, a CR followed by anything else), and
// where it can just after a line that looks like a closing row, so that the next piece begins
// a ricetta. The bytes are read into the piece itself: the file is copied once.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace flussom {

class Pezzo {
 public:
  std::string_view testo() const { return std::string_view(byte_.get(), quanti_); }

 private:
  friend class LettorePezzi;
  std::unique_ptr<char[]> byte_;
  std::size_t capacita_ = 0, quanti_ = 0;
};

class LettorePezzi {
 public:
  // Reads `gia_letti` first, then `file`.
  LettorePezzi(std::FILE* file, std::string_view gia_letti);

  // The next piece, of about `dimensione` bytes, in place of what `pezzo` held. False at the
  // end of the file, on a read error, or when no line ends within dimensione +
  // margine(dimensione) bytes (a line far too long to hold): the bytes read and not handed
  // out are then in resto().
  bool prossimo(Pezzo& pezzo, std::size_t dimensione);

  std::string_view resto() const { return resto_; }
  bool in_errore() const { return errore_ != 0; }
  std::string errore() const;

 private:
  // How far past `dimensione` a piece may go to end after a closing row: an eighth more,
  // and at least the lines of a long ricetta.
  static std::size_t margine(std::size_t dimensione) { return dimensione / 8 + 16 * 224; }
  // Where the piece of `n` bytes at `p` is cut: past the end of a line at or after
  // `dimensione`; 0 when it cannot be cut yet, or, when the piece is `pieno` (it holds all
  // it can), at all: a line goes on past the margin, and the rest of the file is better read
  // line by line than held.
  static std::size_t taglio(const char* p, std::size_t n, std::size_t dimensione, bool fine_file, bool pieno);
  bool leggi(Pezzo& pezzo, std::size_t fino_a);

  std::FILE* file_;
  std::string resto_;  // the bytes after the last cut
  bool eof_ = false;
  int errore_ = 0;
};

}  // namespace flussom
