#include "ui/percorsi.h"

#include <gtest/gtest.h>

#include <QDir>

namespace flussom {
namespace {

TEST(Percorsi, OneSeparatorBetweenFolderAndNameAndNonAsciiNamesIntact) {
  const QString s = QDir::separator(), radice = QDir::toNativeSeparators(QDir::rootPath());
  EXPECT_EQ(unisci_percorso("dati", "AMB01.txt"), "dati" + s + "AMB01.txt");
  EXPECT_EQ(unisci_percorso("dati" + s, "AMB01.txt"), "dati" + s + "AMB01.txt");
  EXPECT_EQ(unisci_percorso(radice, "AMB01.txt"), radice + "AMB01.txt");

  const QString p = QString::fromUtf8("/tmp/citt\xc3\xa0 ved\xc3\xa8/AMB01.txt");
  EXPECT_EQ(da_percorso(a_percorso(p)), p);
#ifndef _WIN32
  EXPECT_EQ(a_percorso(p).native(), "/tmp/citt\xc3\xa0 ved\xc3\xa8/AMB01.txt");
#endif
}

}  // namespace
}  // namespace flussom
