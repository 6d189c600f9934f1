#include "base/formato.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>

namespace flussom {
namespace {

TEST(Formato, Patterns) {
  using Schema = std::string (*)(double);
  struct Caso {
    Schema schema;
    double valore;
    const char* atteso;
  };
  const Caso casi[] = {
      {formato_importo, 12.5, "12,50"}, {formato_importo, 0.5, ",50"}, {formato_importo, 0, ",00"},
      {formato_importo, 1234567.891, "1234567,89"}, {formato_importo, -12.5, "-12,50"},
      {formato_importo, -0.001, ",00"}, {formato_importo, -0.5, "-,50"},
      {formato_importo, 25.01 / 2, "12,51"}, {formato_importo, 0.125, ",13"},
      {formato_importo, 1.005, "1,01"}, {formato_importo, 2.675, "2,68"},
      {formato_importo, -2.675, "-2,68"}, {formato_importo, 25.0 / 3, "8,33"},
      {formato_importo, 9.995, "10,00"}, {formato_importo, 99999.999, "100000,00"},
      {formato_importo, 0.004, ",00"}, {formato_importo, 0.005, ",01"},
      {formato_importo, 1e-300, ",00"}, {formato_intero, 12500, "12500"}, {formato_intero, 0.4, ""},
      {formato_intero, 2.5, "3"}, {formato_intero, -2.5, "-3"}, {formato_migliaia, 0, ""},
      {formato_migliaia, 9, "9"}, {formato_migliaia, 1000, "1.000"},
      {formato_migliaia, 123456789012.0, "123.456.789.012"}, {formato_totale, 0, ",00"},
      {formato_totale, 1234.5, "1.234,50"}, {formato_totale, 999.999, "1.000,00"},
      {formato_totale, -1234.5, "-1.234,50"},
      {formato_totale, 1e20, "100.000.000.000.000.000.000,00"}, {numero_semplice, 45.6, " 45.6"},
      {numero_semplice, 0, " 0"}, {numero_semplice, -3, "-3"}, {numero_semplice, 0.1 + 0.2, " 0.3"},
      {numero_semplice, 1e20, " 100000000000000000000"}, {numero_semplice, 1.5e-7, " 0.00000015"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.valore);
    EXPECT_EQ(c.schema(c.valore), c.atteso);
  }
  EXPECT_EQ(formato_blocco(1), "01");
  EXPECT_EQ(formato_blocco(123), "123");
}

void come_percorso_esatto(double v) {
  EXPECT_EQ(formato_importo(v), formato_esatto(v, 2, false)) << std::hexfloat << v;
  EXPECT_EQ(formato_totale(v), formato_esatto(v, 2, true)) << std::hexfloat << v;
  EXPECT_EQ(formato_intero(v), formato_esatto(v, 0, false)) << std::hexfloat << v;
  EXPECT_EQ(formato_migliaia(v), formato_esatto(v, 0, true)) << std::hexfloat << v;
}

TEST(Formato, FastPathWritesWhatTheExactPathWrites) {
  for (double v : {25.01 / 2, 0.125, 1.005, 2.675, -2.675, 0.005, -0.005, 0.0049999999999999,
                   12.505, 1.015, 1.025, 8.345, 0.5, 1.5, 2.5, -0.5, 0.0, -0.0, 1e-300, -1e-300,
                   999999999.994, 999999999.995, 999999999.999, 1e9, -1e9, 1e9 - 0.5, 123456789.125,
                   4503599627370496.5, 1e15, 1e20, -1e20, 0.1 + 0.2, 1.0 / 3, 2.0 / 3})
    come_percorso_esatto(v);
  std::mt19937_64 caso(3);
  for (int i = 0; i < 20000; ++i) {
    // Cents, half cents and thirds as a run computes them: sums, quotients by quantities.
    const double cent = static_cast<double>(static_cast<std::int64_t>(caso() % 2000000000) - 1000000000);
    come_percorso_esatto(cent / 100);
    come_percorso_esatto(cent / 200);
    come_percorso_esatto(cent / 100 / static_cast<double>(1 + caso() % 9));
    come_percorso_esatto(cent / 1000);
    come_percorso_esatto(std::bit_cast<double>(caso()));
    const double mezzo = (static_cast<double>(caso() % 100000000) + 0.5) / 100;
    come_percorso_esatto(std::nextafter(mezzo, 0.0));
    come_percorso_esatto(std::nextafter(mezzo, 1e300));
  }
}

TEST(Formato, SameAmountComparesThePrintedTexts) {
  EXPECT_TRUE(stesso_importo(25.01 / 2, 12.51));
  EXPECT_TRUE(stesso_importo(0.001, -0.001));
  EXPECT_FALSE(stesso_importo(0.5, -0.5));
  EXPECT_TRUE(stesso_importo(1e20, 1e20 + 1));
  std::mt19937_64 caso(5);
  for (int i = 0; i < 20000; ++i) {
    const double a = static_cast<double>(caso() % 100000) / 300;
    const double b = caso() % 2 ? a + static_cast<double>(caso() % 3) / 1000 : static_cast<double>(caso() % 100000) / 300;
    EXPECT_EQ(stesso_importo(a, b), formato_importo(a) == formato_importo(b)) << a << " " << b;
  }
}

}  // namespace
}  // namespace flussom
