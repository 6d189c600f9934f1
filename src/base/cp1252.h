// Conversions between Windows-1252 (the bytes of data files, tables and the report) and
// UTF-8 (terminals and widgets). Only the front ends and file-name handling use them.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace flussom {

// Every byte has a UTF-8 form; the five bytes that Windows-1252 leaves undefined
// (0x81 0x8D 0x8F 0x90 0x9D) map to the C1 control of the same value.
std::string cp1252_a_utf8(std::string_view s);

// UTF-8 to Windows-1252; a character without a Windows-1252 form (or a malformed byte
// sequence) becomes `sostituto`.
std::string utf8_a_cp1252(std::string_view s, char sostituto = '?');

// Strict form: nothing when some character has no Windows-1252 form or the text is not
// valid UTF-8.
std::optional<std::string> utf8_a_cp1252_esatto(std::string_view s);

// The length of the valid UTF-8 character at the start of `s` and its code point; 0 when
// the bytes there are not one (a stray continuation byte, a sequence cut short, an overlong
// form, a surrogate, a value past U+10FFFF).
std::size_t sequenza_utf8(std::string_view s, char32_t& cp);

// The text with every byte that is not part of a UTF-8 character made U+FFFD.
std::string utf8_valido(std::string_view s);

// A path as text: its UTF-8 bytes, or those converted to Windows-1252.
std::string testo_utf8(const std::filesystem::path& p);
std::string testo_cp1252(const std::filesystem::path& p);

}  // namespace flussom
