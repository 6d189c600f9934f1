#include "ui/esegui_e_attendi.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>
#include <cerrno>

namespace flussom {
namespace {

const QString programma = QStringLiteral(FLUSSOM_UI_PROGRAMMA_PROVA " ");

TEST(EseguiEAttendi, ReturnsTheExitCodeOrTheNegativeCodeOfAFailedStart) {
  const std::pair<QString, int> casi[] = {
      {programma + "--esci 7", 7},
      {programma + "--esci 0", 0},
      {"/non/esiste/programma --esci 1", base_errore_avvio + ENOENT},
      {"", base_errore_avvio + ENOENT},
  };
  for (const auto& [comando, atteso] : casi)
    EXPECT_EQ(esegui_e_attendi(comando, stile_normale), atteso) << comando.toStdString();
  EXPECT_LT(base_errore_avvio + ENOENT, 0);
}

TEST(EseguiEAttendi, AStyleOutside0To6IsMinimizedWithoutFocus) {
  for (auto [stile, valido] : {std::pair{-1, 6}, {0, 0}, {3, 3}, {6, 6}, {7, 6}})
    EXPECT_EQ(stile_valido(stile), valido) << stile;
}

TEST(EseguiEAttendi, TheWindowRespondsWhileWaiting) {
  int scatti = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { ++scatti; });
  timer.start(50);
  QElapsedTimer orologio;
  orologio.start();
  EXPECT_EQ(esegui_e_attendi(programma + "--dormi 700 --esci 2"), 2);
  EXPECT_GE(orologio.elapsed(), 700);
  EXPECT_GE(scatti, 4);
}

}  // namespace
}  // namespace flussom
