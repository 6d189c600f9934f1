#include "ui/visualizzatore.h"

#include <gtest/gtest.h>

#include <QProcess>

#include "support/cartella_temporanea.h"
#include "ui/percorsi.h"

namespace flussom {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32
TEST(Visualizzatore, PicksTheFirstExecutableEditorOfTheListInThePath) {
  prova::CartellaTemporanea a, b;
  for (auto [c, nome] : {std::pair{&a, "mousepad"}, {&b, "gedit"}, {&b, "xdg-open"}})
    fs::permissions(c->scrivi(nome, "#!/bin/sh\n"), fs::perms::owner_all);
  b.scrivi("gnome-text-editor", "#!/bin/sh\n");  // not executable
  const QString path = da_percorso(a.percorso()) + ":" + da_percorso(b.percorso());
  EXPECT_EQ(editore_testo(path), da_percorso(b / "gedit") + " --standalone --encoding=WINDOWS-1252");
  fs::remove(b / "gedit");
  fs::remove(a / "mousepad");
  EXPECT_EQ(editore_testo(path), da_percorso(b / "xdg-open"));
  EXPECT_EQ(editore_testo(da_percorso(a.percorso())), "xdg-open");
}

TEST(Visualizzatore, TheReportPathIsOneArgument) {
  prova::CartellaTemporanea c;
  for (const char* nome : {"semplice", "con blank", "con \"virgolette\""}) {
    fs::create_directory(c / nome);
    EXPECT_EQ(QProcess::splitCommand(comando_visualizza_report(c / nome)).back(),
              da_percorso(c / nome / "errori.RPT"));
  }
}
#else
TEST(Visualizzatore, NotepadOnTheReportWithTheWideFolderName) {
  const std::pair<const wchar_t*, const char16_t*> casi[] = {
      {L"C:\\app", u"NOTEPAD C:\\app\\errori.RPT"},
      {L"C:\\", u"NOTEPAD C:\\errori.RPT"},
      {L"C:\\a b \u00E0 \u20AC", u"NOTEPAD C:\\a b \u00E0 \u20AC\\errori.RPT"}};
  for (const auto& [cartella, atteso] : casi)
    EXPECT_EQ(comando_visualizza_report(cartella), QString::fromUtf16(atteso));
}
#endif

}  // namespace
}  // namespace flussom
