#include "reference/costruisci_tabelle.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <map>
#include <set>

#include "base/campi_csv.h"
#include "base/testo.h"
#include "reference/criptare.h"
#include "reference/tabelle.h"
#include "support/cartella_temporanea.h"

namespace flussom {
namespace {

namespace fs = std::filesystem;
const std::string I = "codice,descrizione,tariffa,branche,sconto\n";

// The build's outcome in one value, and the writing's failure as an optional.
struct Costruzione {
  std::vector<FileTabella> tabelle;
  std::optional<ErroreSorgente> errore;
};
Costruzione costruisci(const SorgentiTabelle& s) {
  Costruzione c;
  if (ErroreSorgente e; !costruisci_tabelle(s, c.tabelle, e)) c.errore = e;
  return c;
}
std::optional<ErroreScrittura> scrivi(const std::vector<FileTabella>& t, const fs::path& dest, Rinomina r = nullptr) {
  ErroreScrittura e;
  if (scrivi_tabelle(t, dest, e, r)) return std::nullopt;
  return e;
}

Costruzione prestazioni(const std::string& csv) { return costruisci({{"prestazioni.csv", csv}}); }

std::string contenuto(const Costruzione& e, std::string_view nome) {
  for (const FileTabella& t : e.tabelle)
    if (t.nome == nome) return t.contenuto;
  ADD_FAILURE() << nome << " non costruita";
  return {};
}

TEST(CostruisciTabelle, ServicesInTheThreeParallelFilesInByteOrder) {
  const Costruzione e = prestazioni(I + "89.7,PRIMA VISITA,20.66,08 9,1.50\n89.01,VISITA SUCCESSIVA,\"12,9\",,\n"
                                         "a1,a,1,01,\n9,b,1,02,\nA1,c,1,03,\n89.7A,d,1,04,\n");
  ASSERT_FALSE(e.errore);
  const std::string terapie = contenuto(e, "TERAPIE.DAT"), tera001 = contenuto(e, "TERA001.DAT"),
                    sconti = contenuto(e, "SCONTI.DAT");
  const std::size_t lt = descrittore(Tabella::terapie).lunghezza_record, l1 = descrittore(Tabella::tera001).lunghezza_record;
  ASSERT_EQ(terapie.size() + tera001.size() + sconti.size(), 6 * (lt + l1 + descrittore(Tabella::sconti).lunghezza_record));
  EXPECT_EQ(terapie.substr(0, lt), "89.01  VISITA SUCCESSIVA" + std::string(33, ' ') + "  00012.90" + std::string(2, '\0'));
  EXPECT_EQ(tera001.substr(0, l1 + 4), std::string(l1, ' ') + "0809");
  std::string chiavi;
  for (std::size_t n = 0; n < 6; ++n)  // each service's key and first specialty
    chiavi += std::string(trim(valore(terapie.substr(n * lt), chiave(Tabella::terapie)))) + "=" + tera001.substr(n * l1, 2) + " ";
  EXPECT_EQ(chiavi, "89.01=   89.7=08 89.7A=04 9=02 A1=03 a1=01 ");
}

TEST(CostruisciTabelle, CodesNoeseAndTexts) {
  SorgentiTabelle s;
  // A BOM, CR LF, columns in any order, empty records, quoted commas and quotes.
  s["comuni.csv"] = "\xEF\xBB\xBF" "Descrizione,Note,CODICE\r\nAgli\xC3\xA8,x,001001\r\n\r\n,,\r\n"
                    "\"Albiano d'Ivrea, \"\"TO\"\"\",,001004\r\n";
  // CR alone, tabs, a name past 'Z', no line break at the end.
  s["diagnosi.csv"] = "codice,descrizione,note_1\r4019 ,\tIpertensione, \r\"25000\"\t,\"Dia\"\"bete\",\"x\"";
  // Columns without a name, a code and a description both with doubled quotes; blanks to the end.
  s["esenzioni.csv"] = ",codice,, Descrizione ,\n,\"0\"\"1\",,\"x \"\"y\"\"\", \t";
  s["noese.csv"] = "prestazione,esenzioni\n89.7,013  0A31\n88.1,\n89.7,048\n";
  const Costruzione e = costruisci(s);
  ASSERT_FALSE(e.errore) << e.errore->motivo;
  EXPECT_EQ(contenuto(e, "COMUXX.DAT"),
            "001001Agli\xE8" + std::string(52, ' ') + "001004Albiano d'Ivrea, \"TO\"" + std::string(36, ' '));
  EXPECT_EQ(contenuto(e, "ICD9.DAT"),
            "25000 Dia\"bete" + std::string(49, ' ') + "4019  Ipertensione" + std::string(45, ' '));
  EXPECT_EQ(contenuto(e, "CODESE.DAT"), "0\"1   x \"y\"" + std::string(52, ' '));
  EXPECT_EQ(contenuto(e, "NOESE.DAT"),
            "\"89.7\",\"*013*0A31\",\"\",\"\",\"\"\r\n\"88.1\",\"\",\"\",\"\",\"\"\r\n"
            "\"89.7\",\"*048\",\"\",\"\",\"\"\r\n");
  // A text refuses the controls, and the bytes Windows-1252 leaves undefined, which come only from them.
  for (const char* c : {"\x7F", "\xC2\x81", "\xC2\x8D", "\xC2\x8F", "\xC2\x90", "\xC2\x9D"})
    EXPECT_NE(prestazioni(I + "89.8,X" + c + ",1,,\n").errore->motivo.find("di controllo"), std::string::npos) << c;
}

TEST(CostruisciTabelle, RefusedSourcesNameFileLineAndReason) {
  const std::string ok = "89.7,PRIMA VISITA,20.66,08,\n", importo = "non \xE8 un importo";
  std::string trentuno;
  for (int b = 1; b <= 31; ++b) trentuno += std::to_string(b) + " ";
  // A source other than prestazioni.csv is built beside a good one.
  const struct Caso { std::string csv; std::size_t riga; std::string motivo, file = "prestazioni.csv"; } casi[] = {
      {I + ok + "89.7123.4,X,1,,\n", 3, "troppo lungo: 9 caratteri, al massimo 7"},
      {I + ok + ok, 3, "ripetuto (gi\xE0 alla riga 2)"},
      {I + "89 7,X,1,,\n", 2, "caratteri non ammessi"},
      {I + ",X,1,,\n", 2, "codice mancante"},
      {I + "89.7,Ko\xC4\x87,1,,\n", 2, "U+0107 non ha forma in Windows-1252"},
      {I + "89.7,Agli\xE8,1,,\n", 2, "UTF-8 non valido"},
      {I + "89.7,\"due\nrighe\",1,,\n89.8,X,1y,,\n", 2, "carattere di controllo"},
      {I + "89.7,\"due\nrighe\",1,,,\n", 2, "6 campi invece dei 5"},
      {I + "89.7,\"due\nrighe\",1,,\n89.8,X,1,\n", 4, "4 campi invece dei 5"},
      {I + "89.8,X,1.234,,\n", 2, importo},
      {I + "89.8,X,-3,,\n", 2, importo},
      {I + "89.8,X,,,\n", 2, importo},
      {I + "89.8,X,1,,1 50\n", 2, importo},
      {I + "89.8,X,100000,,\n", 2, "troppo grande"},
      {I + "89.8,X,1,8a,\n", 2, "branca \"8a\" non valida"},
      {I + "89.8,X,1,00,\n", 2, "branca \"00\" non valida"},
      {I + "89.8,X,1," + trentuno + ",\n", 2, "31 branche, al massimo 30"},
      {I + "89.8," + std::string(51, 'X') + ",1,,\n", 2, "descrizione troppo lunga: 51 caratteri, al massimo 50"},
      {I + "89.8,\xF0\x9F\x98\x80,1,,\n", 2, "U+1F600 non ha forma"},
      {I + "89.8,a\xC3(,1,,\n", 2, "UTF-8 non valido"},
      {I + "89.8,\xFF,1,,\n", 2, "UTF-8 non valido"},
      {I + "89.\xC3\xA8,X,1,,\n", 2, "caratteri non ammessi"},
      {I + "89.8,X,1234567890123,,\n", 2, importo},
      {I + "89.8,X,1,,1a\n", 2, importo},
      {I + "89.8,X,1,123,\n", 2, "branca \"123\" non valida"},
      {I + "89.8,X,100,,99999.99\n", 2, "sconto \"99999.99\" non memorizzabile nei 7 caratteri"},
      {"codice,descrizione,branche\n" + ok, 1, "manca la colonna \"tariffa\""},
      {"codice,Codice,descrizione,tariffa\n", 1, "colonna \"codice\" ripetuta"},
      {"", 0, "manca la riga d'intestazione"},
      {I + ok + "89.8,\"X,1,,\n\n", 3, "virgolette aperte e mai chiuse"},
      {I + "89.8,X\"Y,1,,\n", 2, "virgolette dentro un campo"},
      {I + "89.8,\"X\"Y,1,,\n", 2, "dopo le virgolette"},
      {"codice,descrizione\n013,Diabete\n0130000,Lungo\n", 3, "troppo lungo", "esenzioni.csv"},
      // Which fault comes first: a quoting fault anywhere, then the header, then a row's
      // number of fields anywhere, then the rows in file order, a repeated code before any
      // other fault of its own row.
      {"codice,Codice,descrizione\n1,x\n2,\"y\n", 3, "mai chiuse", "comuni.csv"},
      {"\n,,\ncodice,Codice,descrizione\n1,x\n2\n", 3, "\"codice\" ripetuta", "comuni.csv"},
      {"codice,descrizione\n1,x\n1,y\n2\n", 4, "1 campi invece dei 2", "comuni.csv"},
      {I + ok + "89.8,X,1,,\n" + ok + "89.9,Ko\xC4\x87,1,,\n", 4,
       "\"89.7\" ripetuto (gi\xE0 alla riga 2)"},
      {I + ok + "89.8,Ko\xC4\x87,1,,\n" + ok, 3, "U+0107"},
      {I + ok + "89.7,Ko\xC4\x87,1,,\n", 3, "\"89.7\" ripetuto (gi\xE0 alla riga 2)"},
      {I + ok + "89.71234,X,1,,\n" + ok, 3, "troppo lungo"},
      // The first repeat in file order, whatever the order of the codes; lines counted
      // through a line break inside quotes.
      {"codice,descrizione\nb,x\na,x\nc,x\nb,y\na,y\n", 5, "\"b\" ripetuto (gi\xE0 alla riga 2)",
       "comuni.csv"},
      {"codice,note,descrizione\n1,\"a\r\nb\",x\n2,,y\n1,,z\n", 5, "(gi\xE0 alla riga 2)",
       "comuni.csv"},
      {"prestazione,esenzioni\n89.7,013 *048\n", 2, "\"*048\" con", "noese.csv"},
      {"prestazione,esenzioni\n89.7,0130000\n", 2, "troppo lungo", "noese.csv"},
      {"prestazione,esenzioni\n,013\n", 2, "codice di prestazione mancante", "noese.csv"},
      {"prestazione\n89.7\n", 1, "manca la colonna \"esenzioni\"", "noese.csv"},
      {"codice,descrizione\n1,Ko\xC4\x87\n", 2, "U+0107", "comuni.csv"},
      {"codice,descrizione\n1\n", 2, "1 campi invece dei 2", "diagnosi.csv"},
  };
  for (const Caso& c : casi) {
    SorgentiTabelle s{{"prestazioni.csv", I + ok}};
    s[c.file] = c.csv;
    const Costruzione e = costruisci(s);
    ASSERT_TRUE(e.errore) << c.csv;
    EXPECT_TRUE(e.tabelle.empty());  // a fault in any source refuses the whole build
    EXPECT_EQ(e.errore->file + ":" + std::to_string(e.errore->riga), c.file + ":" + std::to_string(c.riga)) << c.csv;
    EXPECT_NE(e.errore->motivo.find(c.motivo), std::string::npos) << c.csv << " -> " << e.errore->motivo;
  }
  EXPECT_FALSE(prestazioni(I + "89.8,X,1,   ,\n89.9,X,1,08\t9,\n").errore);
}

// About 1 in 128 amounts would lose a blank at either end in the usual writing "1.50".
TEST(CostruisciTabelle, EveryDiscountReadsBackTheSame) {
  for (long long c = 1; c <= 99999; ++c) {
    const std::optional<std::string> campo = campo_sconto(c);
    ASSERT_TRUE(campo && campo->size() == 7u) << c;
    const std::string_view scritto = trim(*campo);
    ASSERT_TRUE(!scritto.empty() && campo->starts_with(scritto)) << c;  // blanks on the right only
    std::string letto(scritto);  // as the discount computation reads it
    criptare(letto);
    ASSERT_EQ(std::llround(valnum(letto) * 100), c) << c;
  }
  EXPECT_FALSE(campo_sconto(-1));
}

TEST(CostruisciTabelle, WritesAllOrNothingNeverThroughALinkNorOverAFolder) {
  prova::CartellaTemporanea cartella, fuori;
  const Costruzione e = prestazioni(I + "89.7,PRIMA VISITA,20.66,08,\n");
  const fs::path dest = cartella / "nuova" / "tabelle";
  const auto file_in_dest = [&] {
    return std::distance(fs::directory_iterator(dest), fs::directory_iterator());
  };
  ASSERT_FALSE(scrivi(e.tabelle, dest));
  EXPECT_EQ(prova::leggi_file(dest / "TERAPIE.DAT"), contenuto(e, "TERAPIE.DAT"));
  EXPECT_EQ(file_in_dest(), 3);  // no temporary left
#ifndef _WIN32  // Wine makes no symbolic links
  // Links planted at the temporary and set-aside names are replaced, never written through.
  for (const char* nome : {".TERAPIE.DAT.nuovo", ".SCONTI.DAT.vecchio"})
    fs::create_symlink(fuori / nome, dest / nome);
  fuori.scrivi(".SCONTI.DAT.vecchio", "fuori");
  ASSERT_FALSE(scrivi(e.tabelle, dest));
  EXPECT_FALSE(fs::exists(fuori / ".TERAPIE.DAT.nuovo"));
  EXPECT_EQ(fuori.leggi(".SCONTI.DAT.vecchio"), "fuori");
  EXPECT_EQ(file_in_dest(), 3);
#endif

  // A table that cannot be written: none is replaced.
  prova::scrivi_file(dest / "TERAPIE.DAT", "vecchia");
  fs::create_directories(dest / ".SCONTI.DAT.nuovo" / "dentro");
  auto errore = scrivi(e.tabelle, dest);
  ASSERT_TRUE(errore);
  EXPECT_NE(errore->motivo.find("impossibile scrivere"), std::string::npos) << errore->motivo;
  EXPECT_TRUE(errore->stato.empty());
  EXPECT_EQ(prova::leggi_file(dest / "TERAPIE.DAT"), "vecchia");
  EXPECT_FALSE(fs::exists(dest / ".TERAPIE.DAT.nuovo"));
#ifndef _WIN32
  {  // nor when a write fails (a full disk; here a limit on the size of files)
    prova::LimiteFile limite(10);
    EXPECT_NE(scrivi(e.tabelle, dest).value().motivo.find(std::strerror(EFBIG)), std::string::npos);
  }
  EXPECT_EQ(prova::leggi_file(dest / "TERAPIE.DAT"), "vecchia");
#endif
  // A folder in a table's place refuses the build before anything is replaced.
  fs::remove_all(dest / ".SCONTI.DAT.nuovo");
  fs::remove(dest / "TERA001.DAT");
  fs::create_directory(dest / "TERA001.DAT");
  errore = scrivi(e.tabelle, dest);
  ASSERT_TRUE(errore);
  EXPECT_NE(errore->motivo.find("TERA001.DAT non \xE8 un file"), std::string::npos)
      << errore->motivo;
  EXPECT_EQ(prova::leggi_file(dest / "TERAPIE.DAT"), "vecchia");
  EXPECT_TRUE(fs::is_directory(dest / "TERA001.DAT"));
  // A destination that cannot be a folder.
  cartella.scrivi("file", "x");
  EXPECT_TRUE(scrivi(e.tabelle, cartella / "file"));
  EXPECT_EQ(cartella.leggi("file"), "x");
}

// Renames that fail at chosen calls (counted from 1).
int rinomine = 0;
std::set<int> guaste;
bool rinomina_guasta(const fs::path& da, const fs::path& a) {
  if (guaste.count(++rinomine)) return false;
  std::error_code ec;
  fs::rename(da, a, ec);
  return !ec;
}

TEST(CostruisciTabelle, AFailedReplacementPutsBackTheTablesOfBefore) {
  const Costruzione e = prestazioni(I + "89.7,PRIMA VISITA,20.66,08,\n");
  // The tables are put in place in the order TERAPIE, TERA001, SCONTI.DAT: two renames for
  // a table that stood before (aside, in), one for a new one; then the way back.
  struct Caso {
    const char* nome;
    std::vector<std::string> prima;  // the tables there before the build
    std::set<int> guaste;
    std::vector<std::string> stato;  // empty: every table back as it was
  };
  const std::vector<std::string> tre{"TERAPIE.DAT", "TERA001.DAT", "SCONTI.DAT"};
  const Caso casi[] = {
      {"the first rename", tre, {1}, {}},
      {"the last table", tre, {6}, {}},
      {"setting aside the second", tre, {3}, {}},
      {"a new table without an old one", {"TERAPIE.DAT", "TERA001.DAT"}, {5}, {}},
      {"putting back fails too", tre, {4, 5},
       {"TERAPIE.DAT: come prima", "TERA001.DAT: assente; la tabella di prima \xE8 in ",
        "SCONTI.DAT: come prima"}},
      {"a new table that cannot go", {"TERA001.DAT", "SCONTI.DAT"}, {5, 8},
       {"TERAPIE.DAT: contiene la tabella nuova; prima non c'era", "TERA001.DAT: come prima",
        "SCONTI.DAT: come prima"}},
      {"no table before", {}, {3, 4},
       {"TERAPIE.DAT: assente, come prima", "TERA001.DAT: contiene la tabella nuova; prima non c'era",
        "SCONTI.DAT: assente, come prima"}},
      {"an old table that cannot come back", tre, {6, 8},
       {"TERAPIE.DAT: come prima", "TERA001.DAT: contiene la tabella nuova; la tabella di prima \xE8 in ",
        "SCONTI.DAT: come prima"}},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    prova::CartellaTemporanea dest;
    std::map<std::string, std::string> prima;
    for (const std::string& nome : c.prima) dest.scrivi(nome, prima[nome] = "vecchia " + nome);
    rinomine = 0;
    guaste = c.guaste;
    const auto errore = scrivi(e.tabelle, dest.percorso(), rinomina_guasta);
    ASSERT_TRUE(errore);
    EXPECT_EQ(errore->motivo.rfind("impossibile sostituire ", 0), 0u) << errore->motivo;
    ASSERT_EQ(errore->stato.size(), c.stato.size());
    for (std::size_t i = 0; i < c.stato.size(); ++i)
      EXPECT_EQ(errore->stato[i].rfind(c.stato[i], 0), 0u) << errore->stato[i];
    if (!c.stato.empty()) continue;
    std::map<std::string, std::string> dopo;
    for (const auto& f : fs::directory_iterator(dest.percorso()))
      dopo[f.path().filename().string()] = prova::leggi_file(f.path());
    EXPECT_EQ(dopo, prima);  // no temporary and no copy left either
  }
}

// The bundled sample sources build, and the lookups find every code in them.
TEST(CostruisciTabelle, SampleTablesCanBeLookedUp) {
  SorgentiTabelle s;
  ErroreSorgente rifiuto;
  ASSERT_TRUE(leggi_sorgenti(fs::path(FLUSSOM_SORGENTI) / "tabelle", s, rifiuto));
  ASSERT_EQ(s.size(), sorgenti_tabelle().size());
  const Costruzione e = costruisci(s);
  ASSERT_FALSE(e.errore) << e.errore->file << ":" << e.errore->riga << " " << e.errore->motivo;
  prova::CartellaTemporanea cartella;
  ASSERT_FALSE(scrivi(e.tabelle, cartella.percorso()));
  Tabelle tabelle(cartella.percorso());
  using Ricerca = std::size_t (*)(Tabelle&, std::string_view);
  for (const auto& [csv, cerca] :
       {std::pair<std::string, Ricerca>{s["prestazioni.csv"], RICPRE}, {s["diagnosi.csv"], cerca_diagnosi},
        {s["comuni.csv"], cerca_comune}, {s["esenzioni.csv"], cerca_esenzione}})
    for (std::size_t i = csv.find('\n') + 1; i < csv.size(); i = csv.find('\n', i) + 1) {
      const std::string c = csv.substr(i, csv.find(',', i) - i);  // the first field
      EXPECT_GT(cerca(tabelle, c), 0u) << c;
    }
}

}  // namespace
}  // namespace flussom
