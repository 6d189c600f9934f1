// The lines of a data file read and split by a thread of their own, a little ahead of the
// checks: reading a line and splitting it cost about half of what checking it costs, and
// go on on another processor meanwhile. The lines come out in the file's order, each split
// as dividi_riga splits it.
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <memory>
#include <thread>

#include "base/lettore_righe.h"
#include "model/ricetta.h"
#include "model/riga_flusso.h"

namespace flussom {

// A line read: its split, its values and its whole length (as LettoreRighe::leggi gives it).
struct RigaLetta {
  RigaFlusso riga;
  ValoriRiga valori;
  std::uint64_t lunghezza = 0;
};

class RigheDivise {
 public:
  // Starts reading with `lettore`, which nothing else may use until this object is gone.
  explicit RigheDivise(LettoreRighe& lettore);
  // Stops the reading where it is and waits for its thread.
  ~RigheDivise();
  RigheDivise(const RigheDivise&) = delete;
  RigheDivise& operator=(const RigheDivise&) = delete;

  // The next line, valid until the next call; nullptr when there is none left (the end of
  // the file, or a read error: see the reader's in_errore()). Throws what the reading
  // thread threw.
  const RigaLetta* prossima();
  // The line after the one prossima() gave last when it is split already, else nullptr.
  const RigaLetta* seguente() const;

 private:
  void leggi_tutte();
  void leggi_tutte_o_ferma();
  // Waits for a line past those seen: false when the thread has written its last.
  bool aspetta();

  // Lines in flight: the thread fills them in turn, the checks take them in turn.
  static constexpr std::uint64_t posti = 512;
  // The checks tell the thread how far they are only every few lines: each telling moves a
  // line of the processor's cache from one processor to the other.
  static constexpr std::uint64_t ogni = 128;
  static constexpr std::uint64_t finito = std::uint64_t{1} << 63;  // bit of scritte_ and prese_

  LettoreRighe& lettore_;
  std::unique_ptr<RigaLetta[]> righe_;
  // Lines split by the thread; `finito` once it has split its last. Written by the thread.
  alignas(64) std::atomic<std::uint64_t> scritte_{0};
  // Lines the checks are done with (known to the thread); `finito` when the checks stop
  // before the end. Written by the checks.
  alignas(64) std::atomic<std::uint64_t> prese_{0};
  // The checks are about to wait for a line (or waiting).
  alignas(64) std::atomic<bool> in_attesa_{false};
  // The checks' own count and what they last saw of scritte_.
  alignas(64) std::uint64_t date_ = 0;
  std::uint64_t viste_ = 0;
  std::exception_ptr errore_;  // what the thread threw, handed on by prossima()
  std::thread filo_;
};

}  // namespace flussom
