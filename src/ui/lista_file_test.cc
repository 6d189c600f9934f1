#include "ui/lista_file.h"

#include <gtest/gtest.h>

namespace flussom {
namespace {

TEST(ListaFile, OnlyTxtAndFilesWithoutExtension) {
  for (const char* n : {"a.txt", "A.TXT", "b.Txt", "senza", "finisce.", "AMB01.ASL.txt"})
    EXPECT_TRUE(corrisponde_modello_file(n)) << n;
  for (const char* n : {"a.dat", "a.txt.bak", "a.txtx", "a.tx", "errori.RPT", ".txt2"})
    EXPECT_FALSE(corrisponde_modello_file(n)) << n;
}

}  // namespace
}  // namespace flussom
