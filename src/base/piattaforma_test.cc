#include "base/piattaforma.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <string>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace flussom {
namespace {

#ifndef _WIN32
// The system's texts in Italian and UTF-8, as a desktop session has them: the locale is
// generated first where it is missing and we may.
bool locale_italiano() {
  if (std::setlocale(LC_ALL, "it_IT.UTF-8")) return true;
  if (geteuid() == 0 && std::system("localedef -i it_IT -f UTF-8 it_IT.UTF-8 >/dev/null 2>&1") == 0)
    return std::setlocale(LC_ALL, "it_IT.UTF-8") != nullptr;
  return false;
}

TEST(TestoErrore, ItalianUtf8SystemTextsBecomeWindows1252) {
  if (!locale_italiano()) GTEST_SKIP() << "locale it_IT.UTF-8 missing and cannot be generated";
  const std::string cartella = testo_errno(EISDIR);
  const std::string codice = testo_errore(std::make_error_code(std::errc::is_a_directory));
  std::setlocale(LC_ALL, "C");
  if (cartella == "Is a directory") GTEST_SKIP() << "no Italian translations of the system's messages";
  EXPECT_EQ(cartella, "\xC8 una directory");
  EXPECT_EQ(codice, cartella);
  EXPECT_EQ(testo_errno(ENOENT), "No such file or directory");
}
#else
// The system's texts through the wide calls: whole, without the line break that ends them.
TEST(TestoErrore, SystemAndRuntimeTextsWithoutTheirLineBreak) {
  for (const std::string& t : {testo_errno(ENOENT), testo_errore(std::error_code(2, std::system_category()))}) {
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(t.find_first_of("\r\n"), std::string::npos) << t;
  }
}
#endif

}  // namespace
}  // namespace flussom
