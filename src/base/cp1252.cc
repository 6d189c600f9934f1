#include "base/cp1252.h"

#include <cstdint>

namespace flussom {

namespace {

// Unicode code points of the bytes 0x80 to 0x9F; the five undefined bytes map to the C1
// control of the same value so that every byte survives a round trip.
constexpr char32_t alti[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void aggiungi_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

int byte_di(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
  for (int i = 0; i < 32; ++i)
    if (alti[i] == c) return 0x80 + i;
  return -1;
}

// Decodes one UTF-8 character at s[i]; advances i. Returns -1 for a malformed sequence
// (advancing by one byte).
std::int64_t decodifica(std::string_view s, std::size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  int n;
  char32_t c;
  if (b0 < 0x80) {
    ++i;
    return b0;
  } else if ((b0 & 0xE0) == 0xC0) {
    n = 1;
    c = b0 & 0x1F;
  } else if ((b0 & 0xF0) == 0xE0) {
    n = 2;
    c = b0 & 0x0F;
  } else if ((b0 & 0xF8) == 0xF0) {
    n = 3;
    c = b0 & 0x07;
  } else {
    ++i;
    return -1;
  }
  if (i + static_cast<std::size_t>(n) >= s.size()) {  // sequence cut short
    ++i;
    return -1;
  }
  for (int k = 1; k <= n; ++k) {
    const auto b = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return -1;
    }
    c = (c << 6) | (b & 0x3F);
  }
  static constexpr char32_t minimo[4] = {0, 0x80, 0x800, 0x10000};
  if (c < minimo[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    ++i;
    return -1;
  }
  i += static_cast<std::size_t>(n) + 1;
  return c;
}

}  // namespace

std::string cp1252_a_utf8(std::string_view s) {
  std::string out;
  out.reserve(s.size() + s.size() / 8);
  for (char ch : s) {
    const auto b = static_cast<unsigned char>(ch);
    if (b < 0x80) {
      out.push_back(ch);
    } else if (b < 0xA0) {
      aggiungi_utf8(out, alti[b - 0x80]);
    } else {
      aggiungi_utf8(out, b);
    }
  }
  return out;
}

std::string utf8_a_cp1252(std::string_view s, char sostituto) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    const std::int64_t c = decodifica(s, i);
    const int b = c < 0 ? -1 : byte_di(static_cast<char32_t>(c));
    out.push_back(b < 0 ? sostituto : static_cast<char>(b));
  }
  return out;
}

std::optional<std::string> utf8_a_cp1252_esatto(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    const std::int64_t c = decodifica(s, i);
    const int b = c < 0 ? -1 : byte_di(static_cast<char32_t>(c));
    if (b < 0) return std::nullopt;
    out.push_back(static_cast<char>(b));
  }
  return out;
}

std::string testo_utf8(const std::filesystem::path& p) {
  const std::u8string u = p.u8string();
  return std::string(u.begin(), u.end());
}

std::string testo_cp1252(const std::filesystem::path& p) { return utf8_a_cp1252(testo_utf8(p)); }

std::size_t sequenza_utf8(std::string_view s, char32_t& cp) {
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char c = b(0);
  std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
  if (n == 0 || n > s.size()) return 0;
  cp = n == 1 ? c : c & (0x7F >> n);
  for (std::size_t i = 1; i < n; ++i) {
    if ((b(i) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b(i) & 0x3F);
  }
  constexpr char32_t minimo[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < minimo[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

std::string utf8_valido(std::string_view s) {
  std::string r;
  r.reserve(s.size());
  char32_t cp = 0;
  while (!s.empty()) {
    const std::size_t n = sequenza_utf8(s, cp);
    r += n ? s.substr(0, n) : std::string_view("\xEF\xBF\xBD");
    s.remove_prefix(n ? n : 1);
  }
  return r;
}

}  // namespace flussom
