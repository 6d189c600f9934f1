#include "check/formato.h"

#include <gtest/gtest.h>

namespace flussom {
namespace {

TEST(Formato, ImportoPattern) {
  EXPECT_EQ(formato_importo(12.5), "12,50");
  EXPECT_EQ(formato_importo(0.5), ",50");
  EXPECT_EQ(formato_importo(0), ",00");
  EXPECT_EQ(formato_importo(1234567.891), "1234567,89");
  EXPECT_EQ(formato_importo(-12.5), "-12,50");
  EXPECT_EQ(formato_importo(-0.001), ",00");  // a negative value rounding to zero has no sign
  EXPECT_EQ(formato_importo(-0.5), "-,50");
}

TEST(Formato, RoundsTheValueAsAPersonReadsIt) {
  EXPECT_EQ(formato_importo(25.01 / 2), "12,51");  // 12.504999... as a double
  EXPECT_EQ(formato_importo(0.125), ",13");
  EXPECT_EQ(formato_importo(1.005), "1,01");
  EXPECT_EQ(formato_importo(2.675), "2,68");
  EXPECT_EQ(formato_importo(25.0 / 3), "8,33");
  EXPECT_EQ(formato_importo(9.995), "10,00");
  EXPECT_EQ(formato_importo(99999.999), "100000,00");
  EXPECT_EQ(formato_importo(-2.675), "-2,68");
  EXPECT_EQ(formato_importo(0.004), ",00");
  EXPECT_EQ(formato_importo(0.005), ",01");
  EXPECT_EQ(formato_importo(1e-300), ",00");
}

TEST(Formato, IntegerPatterns) {
  EXPECT_EQ(formato_intero(12500), "12500");
  EXPECT_EQ(formato_intero(0), "");
  EXPECT_EQ(formato_intero(0.4), "");
  EXPECT_EQ(formato_intero(2.5), "3");
  EXPECT_EQ(formato_intero(-2.5), "-3");
  EXPECT_EQ(formato_migliaia(0), "");
  EXPECT_EQ(formato_migliaia(9), "9");
  EXPECT_EQ(formato_migliaia(1000), "1.000");
  EXPECT_EQ(formato_migliaia(1234567), "1.234.567");
  EXPECT_EQ(formato_migliaia(123456789012.0), "123.456.789.012");
}

TEST(Formato, TotalPattern) {
  EXPECT_EQ(formato_totale(0), ",00");
  EXPECT_EQ(formato_totale(1234.5), "1.234,50");
  EXPECT_EQ(formato_totale(999.999), "1.000,00");
  EXPECT_EQ(formato_totale(1234567890.5), "1.234.567.890,50");
  EXPECT_EQ(formato_totale(-1234.5), "-1.234,50");
  EXPECT_EQ(formato_totale(1e20), "100.000.000.000.000.000.000,00");
}

TEST(Formato, BlockNumber) {
  EXPECT_EQ(formato_blocco(1), "01");
  EXPECT_EQ(formato_blocco(10), "10");
  EXPECT_EQ(formato_blocco(123), "123");
  EXPECT_EQ(formato_blocco(0), "00");
}

TEST(Formato, PlainNumber) {
  EXPECT_EQ(numero_semplice(45.6), " 45.6");
  EXPECT_EQ(numero_semplice(0), " 0");
  EXPECT_EQ(numero_semplice(0.5), " 0.5");
  EXPECT_EQ(numero_semplice(-3), "-3");
  EXPECT_EQ(numero_semplice(126), " 126");
  EXPECT_EQ(numero_semplice(0.1 + 0.2), " 0.3");
  EXPECT_EQ(numero_semplice(1e20), " 100000000000000000000");
  EXPECT_EQ(numero_semplice(1.5e-7), " 0.00000015");
}

}  // namespace
}  // namespace flussom
