#include "reference/criptare.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

namespace flussom {
namespace {

std::string criptato(std::string t, std::int32_t chiave = chiave_sconti) {
  criptare(t, chiave);
  return t;
}

std::string decriptato(std::string t, std::int32_t chiave = chiave_sconti) {
  decriptare(t, chiave);
  return t;
}

TEST(Criptare, TestiCortiCheNessunPassaggioOQuasiNessunoTocca) {
  EXPECT_EQ(criptato(""), "");
  EXPECT_EQ(criptato("A"), "A");
  EXPECT_EQ(criptato("\xFF"), "\xFF");
  // Two characters: only the third and the fourth pass act. With k2 = 60 and k1 = 225:
  // a1 = (66*60 mod 256) xor 66 xor 65 = 123; a2 = (123*225 mod 256) xor 123 xor 66 = 34.
  EXPECT_EQ(criptato("AB"), "\x7B\x22");
}

TEST(Criptare, ValoriNotiSottoLaChiaveDelleTabelle) {
  EXPECT_EQ(criptato("12"), "\xBB\xD2");
  EXPECT_EQ(criptato("123"), "\xE2\x8B\xB5");
  EXPECT_EQ(criptato("5.50"), "\x4D\xE5\xD6\x84");
  EXPECT_EQ(criptato("12.34"), "\xE6\x4A\xA2\xF3\xA4");
  EXPECT_EQ(criptato("0000000000"), "\x40\x20\xC0\xC0\xC0\xC0\xC0\x80\x80\x90");
}

TEST(Criptare, NonEInversoDiSeStesso) {
  EXPECT_NE(criptato(criptato("12.34")), "12.34");
}

// Random texts of every length from 0 to 20, every byte value allowed.
std::string casuale(std::mt19937& g, std::size_t n) {
  std::uniform_int_distribution<int> byte(0, 255);
  std::string t(n, '\0');
  for (char& c : t) c = static_cast<char>(byte(g));
  return t;
}

TEST(Decriptare, AndataERitornoSuTestiCasuali) {
  std::mt19937 g(20240601);
  for (std::size_t n = 0; n <= 20; ++n) {
    for (int volta = 0; volta < 500; ++volta) {
      const std::string t = casuale(g, n);
      const std::string c = criptato(t);
      ASSERT_EQ(c.size(), n);
      ASSERT_EQ(decriptato(c), t) << "n=" << n;
      ASSERT_EQ(criptato(decriptato(t)), t) << "n=" << n;
    }
  }
}

TEST(Decriptare, AndataERitornoConAltreChiavi) {
  std::mt19937 g(7);
  for (std::int32_t chiave : {0, 1, 233, 2147483647, -1, -1357924680}) {
    for (std::size_t n = 0; n <= 12; ++n) {
      const std::string t = casuale(g, n);
      ASSERT_EQ(decriptato(criptato(t, chiave), chiave), t) << "chiave=" << chiave;
    }
  }
}

TEST(Criptare, TestiDiversiDellaStessaLunghezzaDannoRisultatiDiversi) {
  // Every text of two bytes, and every text of three bytes over a small alphabet.
  std::set<std::string> visti;
  for (int x = 0; x < 256; ++x)
    for (int y = 0; y < 256; ++y)
      visti.insert(criptato(std::string{static_cast<char>(x), static_cast<char>(y)}));
  EXPECT_EQ(visti.size(), 65536u);

  const std::string alfabeto = "0123456789. ,-";
  visti.clear();
  for (char x : alfabeto)
    for (char y : alfabeto)
      for (char z : alfabeto) visti.insert(criptato(std::string{x, y, z}));
  EXPECT_EQ(visti.size(), alfabeto.size() * alfabeto.size() * alfabeto.size());
}

}  // namespace
}  // namespace flussom
