#include "ui/percorsi.h"

#include <gtest/gtest.h>

#include <QDir>

namespace flussom {
namespace {

TEST(Percorsi, UnSoloSeparatoreTraCartellaENome) {
  const QString s = QDir::separator();
  EXPECT_EQ(unisci_percorso("dati", "AMB01.txt"), "dati" + s + "AMB01.txt");
  EXPECT_EQ(unisci_percorso("dati" + s, "AMB01.txt"), "dati" + s + "AMB01.txt");
  // A root folder already ends in its separator.
  EXPECT_EQ(unisci_percorso(QDir::toNativeSeparators(QDir::rootPath()), "AMB01.txt"),
            QDir::toNativeSeparators(QDir::rootPath()) + "AMB01.txt");
#ifdef _WIN32
  EXPECT_EQ(unisci_percorso("C:\\", "AMB01.txt"), "C:\\AMB01.txt");
#endif
}

TEST(Percorsi, AndataERitornoConIlCore) {
  const QString p = QString::fromUtf8("/tmp/citt\xc3\xa0 ved\xc3\xa8/AMB01.txt");
  EXPECT_EQ(da_percorso(a_percorso(p)), p);
#ifndef _WIN32
  EXPECT_EQ(a_percorso(p).native(), "/tmp/citt\xc3\xa0 ved\xc3\xa8/AMB01.txt");
#endif
}

}  // namespace
}  // namespace flussom
