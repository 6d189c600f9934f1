#include "cli/lavori_paralleli.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace flussom {
namespace {

TEST(LavoriParalleli, AJobThatThrowsIsToldAndTheOthersAreDone) {
  for (const unsigned processi : {1u, 3u, 64u}) {
    SCOPED_TRACE(processi);
    std::vector<int> volte(6, 0);
    std::vector<std::string> motivi(6, "mai concluso");
    const std::size_t avviati = lavori_paralleli(
        6, processi, nullptr,
        [&](std::size_t i) {
          ++volte[i];
          if (i == 1) throw std::bad_alloc();
          if (i == 2) throw std::runtime_error("disco pieno");
          if (i == 4) throw 42;
        },
        [&](std::size_t i, const std::string& motivo) { motivi[i] = motivo; });
    EXPECT_EQ(avviati, 6u);
    EXPECT_EQ(volte, std::vector<int>(6, 1));
    EXPECT_EQ(motivi, (std::vector<std::string>{"", "memoria insufficiente", "errore imprevisto: disco pieno", "",
                                                "errore imprevisto", ""}));
  }
}

TEST(LavoriParalleli, NoJobStartsOnceInterrupted) {
  const struct {
    unsigned processi;
    int ferma;  // the job that asks to stop; -1: asked before any
    std::size_t avviati;
  } casi[] = {{1, 2, 3}, {1, -1, 0}, {4, -1, 0}, {1, 99, 6}};
  for (const auto& c : casi) {
    SCOPED_TRACE(c.ferma);
    std::atomic<bool> basta{c.ferma < 0};
    std::size_t conclusi = 0;
    const std::size_t avviati = lavori_paralleli(
        6, c.processi, &basta, [&](std::size_t i) { basta = basta || static_cast<int>(i) == c.ferma; },
        [&](std::size_t, const std::string&) { ++conclusi; });
    EXPECT_EQ(avviati, c.avviati);
    EXPECT_EQ(conclusi, c.avviati);
  }
}

}  // namespace
}  // namespace flussom
