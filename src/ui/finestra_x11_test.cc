// The window search needs an X display: without one (or off X11) these tests are skipped.
#ifdef FLUSSOM_X11
#include "ui/finestra_x11.h"

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QProcess>
#include <QTest>

#include "ui/esegui_e_attendi.h"

namespace flussom {
namespace {

bool display_x11() {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) return false;
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  const bool ok = !xcb_connection_has_error(c);
  xcb_disconnect(c);
  return ok;
}

TEST(FinestraX11, TrovaLaFinestraDelProcessoNeLeggeIlTitoloELaChiude) {
  if (!display_x11()) GTEST_SKIP() << "no X11 display";
  const QString titolo = QString::fromUtf8("Citt\xc3\xa0 \xe2\x82\xac - prova");
  QProcess p;
  p.start(QStringLiteral(FLUSSOM_UI_PROGRAMMA_PROVA),
          {"-platform", "xcb", "--finestra", titolo, "--esci", "6", "--scadenza", "8000"});
  ASSERT_TRUE(p.waitForStarted());

  FinestraX11 finestra(static_cast<pid_t>(p.processId()), stile_normale);
  // The window may show the program's name for a moment before its own title is set.
  EXPECT_TRUE(QTest::qWaitFor([&] { return finestra.cerca() && finestra.titolo() == titolo; }, 5000));
  EXPECT_EQ(finestra.titolo(), titolo);
  finestra.chiudi();
  ASSERT_TRUE(p.waitForFinished(5000));
  EXPECT_EQ(p.exitCode(), 6);
}

TEST(FinestraX11, UnProcessoSenzaFinestreNonNeHa) {
  if (!display_x11()) GTEST_SKIP() << "no X11 display";
  QProcess p;
  p.start(QStringLiteral(FLUSSOM_UI_PROGRAMMA_PROVA), {"--dormi", "300"});
  ASSERT_TRUE(p.waitForStarted());
  FinestraX11 finestra(static_cast<pid_t>(p.processId()), stile_normale);
  EXPECT_FALSE(finestra.cerca());
  EXPECT_EQ(finestra.titolo(), "");
  finestra.chiudi();  // nothing to close: does nothing
  EXPECT_TRUE(p.waitForFinished(5000));
}

}  // namespace
}  // namespace flussom
#endif
