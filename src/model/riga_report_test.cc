#include "model/riga_report.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "support/cartella_temporanea.h"

namespace flussom {
namespace {

std::string leggi(const char* nome) { return prova::leggi_file(std::string(FLUSSOM_SORGENTI) + "/" + nome); }

// The names of the fields a rule concerns, as the documentation lists them.
std::string campi_scritti(Regola r) {
  std::string s;
  for (std::size_t i = 0; i < numero_campi; ++i)
    if (campi_regola(r) & bit(static_cast<CampoRiga>(i)))
      s += (s.empty() ? "" : ", ") + std::string(nome_campo(static_cast<CampoRiga>(i)));
  return s.empty() ? "\xE2\x80\x94" : s;  // an em dash: no field
}

// The schema's enum of rule ids and README's table of rules say what the one table of
// rules says, in its order; the ids are unique names fit for programs.
TEST(RigaReport, TheDocumentedRulesAreTheTableOfRules) {
  const std::string schema = leggi("docs/risultato.schema.json");
  const std::string readme = leggi("README.md");
  std::string enum_atteso, tabella_attesa;
  std::set<std::string> visti;
  for (std::size_t i = 1; i < numero_regole; ++i) {
    const auto r = static_cast<Regola>(i);
    const std::string id(identificatore(r));
    EXPECT_EQ(id.find_first_not_of("abcdefghijklmnopqrstuvwxyz_0123456789"), std::string::npos) << id;
    EXPECT_TRUE(visti.insert(id).second) << id;
    EXPECT_EQ(campi_regola(r) >> numero_campi, 0u) << id;
    enum_atteso += "            \"" + id + "\"" + (i + 1 < numero_regole ? ",\n" : "\n");
    tabella_attesa += "| `" + id + "` | " + campi_scritti(r) + " |\n";
  }
  EXPECT_NE(schema.find("\"enum\": [\n" + enum_atteso + "          ]"), std::string::npos)
      << "the schema's enum of rules should be:\n" << enum_atteso;
  EXPECT_NE(readme.find("|---|---|\n" + tabella_attesa + "\n"), std::string::npos)
      << "README's table of rules should be:\n" << tabella_attesa;
}

}  // namespace
}  // namespace flussom
