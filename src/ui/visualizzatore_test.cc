#include "ui/visualizzatore.h"

#include <gtest/gtest.h>

#include <QProcess>

#include "support/cartella_temporanea.h"
#include "ui/percorsi.h"

#ifndef _WIN32
namespace flussom {
namespace {

namespace fs = std::filesystem;
using prova::CartellaTemporanea;

void eseguibile(const CartellaTemporanea& c, const char* nome) {
  fs::permissions(c.scrivi(nome, "#!/bin/sh\n"), fs::perms::owner_all);
}

TEST(Visualizzatore, SceglieIlPrimoEditoreDellaListaTrovatoNelPath) {
  CartellaTemporanea a, b;
  eseguibile(a, "mousepad");
  eseguibile(b, "gedit");
  b.scrivi("gnome-text-editor", "#!/bin/sh\n");  // not executable: not an editor
  const QString path = da_percorso(a.percorso()) + ":" + da_percorso(b.percorso());
  EXPECT_EQ(editore_testo(path), da_percorso(b / "gedit") + " --standalone --encoding=WINDOWS-1252");
  EXPECT_EQ(editore_testo(da_percorso(a.percorso())),
            da_percorso(a / "mousepad") + " --disable-server --encoding=WINDOWS-1252");
}

TEST(Visualizzatore, SenzaEditoriRestaXdgOpen) {
  CartellaTemporanea vuota;
  EXPECT_EQ(editore_testo(da_percorso(vuota.percorso())), "xdg-open");
  eseguibile(vuota, "xdg-open");
  EXPECT_EQ(editore_testo(da_percorso(vuota.percorso())), da_percorso(vuota / "xdg-open"));
}

TEST(Visualizzatore, LaRigaDiComandoPortaIlPercorsoDelReportComeUnSoloArgomento) {
  for (const char* testo : {"semplice", "con blank", "con \"virgolette\""}) {
    const QStringList parti = QProcess::splitCommand(QStringLiteral("x ") + argomento_comando(testo));
    ASSERT_EQ(parti.size(), 2) << testo;
    EXPECT_EQ(parti[1], QString::fromUtf8(testo));
  }
  CartellaTemporanea c;
  fs::create_directory(c / "con blank");
  const QStringList parti = QProcess::splitCommand(comando_visualizza_report(c / "con blank"));
  ASSERT_GE(parti.size(), 2);
  EXPECT_EQ(parti.back(), da_percorso(c / "con blank" / "errori.RPT"));
  // In the root folder the separator is not doubled.
  EXPECT_EQ(QProcess::splitCommand(comando_visualizza_report("/")).back(), "/errori.RPT");
  EXPECT_EQ(QProcess::splitCommand(comando_visualizza_report("/tmp/")).back(), "/tmp/errori.RPT");
}

}  // namespace
}  // namespace flussom
#endif
