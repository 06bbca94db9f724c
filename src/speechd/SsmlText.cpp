#include "speechd/SsmlText.h"

#include <cstdint>
#include <cstdlib>

#include "util/Utf.h"

namespace ekoto {
namespace {

// The code point of "&name;" at the start of s (s starting after "&"), and how
// many bytes it takes including the ";"; 0 bytes when it is no entity.
size_t DecodeEntity(std::string_view s, char32_t& ret) {
  const size_t semicolon = s.find(';');
  if (semicolon == std::string_view::npos || semicolon > 10) return 0;
  const std::string_view name = s.substr(0, semicolon);
  static constexpr struct { std::string_view name; char32_t c; } kNamed[] = {
      {"lt", U'<'}, {"gt", U'>'}, {"amp", U'&'}, {"quot", U'"'}, {"apos", U'\''}};
  for (const auto& entity : kNamed) {
    if (name == entity.name) {
      ret = entity.c;
      return semicolon + 1;
    }
  }
  if (name.size() < 2 || name[0] != '#') return 0;
  const bool hex = name[1] == 'x' || name[1] == 'X';
  const std::string digits(name.substr(hex ? 2 : 1));
  char* end = nullptr;
  const unsigned long value = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
  if (digits.empty() || *end != '\0' || value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
    return 0;
  ret = static_cast<char32_t>(value);
  return semicolon + 1;
}

void AppendCodePoint(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  }
}

// The value of attribute name in the tag's inside ("mark name='x'/"), or "" .
std::string Attribute(std::string_view tag, std::string_view name) {
  size_t at = 0;
  while ((at = tag.find(name, at)) != std::string_view::npos) {
    size_t p = at + name.size();
    const bool startsWord = at > 0 && (tag[at - 1] == ' ' || tag[at - 1] == '\t' || tag[at - 1] == '\n');
    at = p;
    if (!startsWord) continue;
    while (p < tag.size() && tag[p] == ' ') ++p;
    if (p >= tag.size() || tag[p] != '=') continue;
    ++p;
    while (p < tag.size() && tag[p] == ' ') ++p;
    if (p >= tag.size() || (tag[p] != '"' && tag[p] != '\'')) continue;
    const size_t close = tag.find(tag[p], p + 1);
    if (close == std::string_view::npos) return "";
    return std::string(tag.substr(p + 1, close - p - 1));
  }
  return "";
}

}  // namespace

SpeechText ParseSsml(std::string_view ssml) {
  SpeechText result;
  std::string pending;  // UTF-8 text not yet decoded
  auto flush = [&] {
    result.sText += Utf8ToUtf16(pending);
    pending.clear();
  };
  for (size_t i = 0; i < ssml.size();) {
    const char c = ssml[i];
    if (c == '<') {
      const size_t close = ssml.find('>', i);
      if (close == std::string_view::npos) break;
      const std::string_view tag = ssml.substr(i + 1, close - i - 1);
      if (tag.substr(0, 4) == "mark" && (tag.size() == 4 || tag[4] == ' ' || tag[4] == '/')) {
        flush();
        result.marks.push_back({result.sText.size(), Attribute(tag, "name")});
      }
      i = close + 1;
    } else if (c == '&') {
      char32_t decoded = 0;
      const size_t n = DecodeEntity(ssml.substr(i + 1), decoded);
      if (n == 0) {
        pending += c;
        ++i;
        continue;
      }
      flush();
      AppendCodePoint(result.sText, decoded);
      i += n + 1;
    } else {
      pending += c;
      ++i;
    }
  }
  flush();
  return result;
}

}  // namespace ekoto
