#include "ui/esegui_e_attendi.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>
#include <cerrno>

#ifdef FLUSSOM_X11
#include <xcb/xcb.h>
#endif

namespace flussom {
namespace {

QString programma(const QString& argomenti) {
  return QStringLiteral(FLUSSOM_UI_PROGRAMMA_PROVA " ") + argomenti;
}

TEST(EseguiEAttendi, RestituisceIlCodiceDiUscita) {
  EXPECT_EQ(esegui_e_attendi(programma("--esci 7"), stile_normale), 7);
  EXPECT_EQ(esegui_e_attendi(programma("--esci 0")), 0);
}

TEST(EseguiEAttendi, UnoStileFuoriDa0a6ValeComeRidottaSenzaFocus) {
  EXPECT_EQ(stile_valido(7), stile_ridotta_senza_focus);
  EXPECT_EQ(stile_valido(-1), stile_ridotta_senza_focus);
  EXPECT_EQ(stile_valido(0), 0);
  EXPECT_EQ(stile_valido(3), 3);
  EXPECT_EQ(stile_valido(6), 6);
  EXPECT_EQ(esegui_e_attendi(programma("--esci 3"), 7), 3);
  EXPECT_EQ(esegui_e_attendi(programma("--esci 4"), -1), 4);
}

TEST(EseguiEAttendi, UnProgrammaCheNonParteDaIlCodiceNegativo) {
  EXPECT_EQ(esegui_e_attendi(QStringLiteral("/non/esiste/programma --esci 1"), 3),
            base_errore_avvio + ENOENT);
  EXPECT_EQ(esegui_e_attendi(QString(), 3), base_errore_avvio + ENOENT);
  EXPECT_LT(base_errore_avvio + ENOENT, 0);
}

TEST(EseguiEAttendi, LaFinestraRispondeMentreAttende) {
  int scatti = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { ++scatti; });
  timer.start(50);
  QElapsedTimer orologio;
  orologio.start();
  EXPECT_EQ(esegui_e_attendi(programma("--dormi 700 --esci 2")), 2);
  EXPECT_GE(orologio.elapsed(), 700);
  // Events are handled every 100 ms: several timeouts were delivered during the wait.
  EXPECT_GE(scatti, 4);
}

TEST(EseguiEAttendi, UnaSecondaAttesaDentroLaPrimaFinisceLaPrima) {
  // An event handled during the wait starts a second, longer program: the first wait
  // returns only after the inner one.
  int interno = -1;
  QTimer::singleShot(150, [&] { interno = esegui_e_attendi(programma("--dormi 900 --esci 5")); });
  QElapsedTimer orologio;
  orologio.start();
  EXPECT_EQ(esegui_e_attendi(programma("--dormi 300 --esci 1")), 1);
  EXPECT_EQ(interno, 5);
  EXPECT_GE(orologio.elapsed(), 1000);
}

#ifdef FLUSSOM_X11
bool display_x11() {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) return false;
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  const bool ok = !xcb_connection_has_error(c);
  xcb_disconnect(c);
  return ok;
}

TEST(EseguiEAttendi, UnaFinestraIntitolataFinishedVieneChiusa) {
  if (!display_x11()) GTEST_SKIP() << "no X11 display";
  // The test program shows a window on the X display, closes with code 5 when asked to,
  // and ends by itself with 99 after the deadline.
  QElapsedTimer orologio;
  orologio.start();
  EXPECT_EQ(esegui_e_attendi(programma("-platform xcb --finestra \"fInIsHeD - lavoro\" --esci 5 --scadenza 8000"),
                             stile_normale),
            5);
  EXPECT_LT(orologio.elapsed(), 7000);

  // Any other title is left alone: the wait lasts until the program ends.
  orologio.restart();
  EXPECT_EQ(esegui_e_attendi(programma("-platform xcb --finestra \"Lavoro finished\" --esci 5 --scadenza 1500"),
                             stile_normale),
            99);
  EXPECT_GE(orologio.elapsed(), 1500);
}
#endif

}  // namespace
}  // namespace flussom
