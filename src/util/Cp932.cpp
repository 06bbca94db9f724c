#include "util/Cp932.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ucnv_err.h>

#include <algorithm>
#include <array>
#include <cstdint>

#include "util/Utf.h"

namespace ekoto {
namespace {

// ICU refuses more than about 1 GiB of source or target in one call: feed it
// bounded pieces so that any size converts.
constexpr size_t kChunk = size_t{1} << 20;

// ICU's error callback for CP932 decoding: the single bytes that Windows maps
// but ICU's table does not, else U+FFFD (never ICU's U+001A, which is a real
// character in this codec).
void Cp932ToUCallback(const void*, UConverterToUnicodeArgs* args, const char* codeUnits, int32_t length,
                      UConverterCallbackReason reason, UErrorCode* err) {
  if (reason > UCNV_IRREGULAR) return;  // reset, close, clone: nothing to write
  UChar c = 0xFFFD;
  if (length == 1) {
    switch (static_cast<uint8_t>(codeUnits[0])) {
      case 0x80: c = 0x0080; break;
      case 0xA0: c = 0xF8F0; break;
      case 0xFD: c = 0xF8F1; break;
      case 0xFE: c = 0xF8F2; break;
      case 0xFF: c = 0xF8F3; break;
      default: break;
    }
  }
  *err = U_ZERO_ERROR;
  ucnv_cbToUWriteUChars(args, &c, 1, 0, err);
}

// ICU's error callback for CP932 encoding: the Windows single bytes above, and
// for anything else the error stays, which stops the conversion.
void Cp932FromUCallback(const void*, UConverterFromUnicodeArgs* args, const UChar*, int32_t, UChar32 codePoint,
                        UConverterCallbackReason reason, UErrorCode* err) {
  if (reason != UCNV_UNASSIGNED) return;  // illegal (unpaired surrogate): stop
  char b;
  if (codePoint == 0x0080) {
    b = static_cast<char>(0x80);
  } else if (codePoint == 0xF8F0) {
    b = static_cast<char>(0xA0);
  } else if (codePoint >= 0xF8F1 && codePoint <= 0xF8F3) {
    b = static_cast<char>(0xFD + (codePoint - 0xF8F1));
  } else {
    return;
  }
  *err = U_ZERO_ERROR;
  ucnv_cbFromUWriteBytes(args, &b, 1, 0, err);
}

void Utf8ToUCallback(const void*, UConverterToUnicodeArgs* args, const char*, int32_t,
                     UConverterCallbackReason reason, UErrorCode* err) {
  if (reason > UCNV_IRREGULAR) return;
  const UChar c = 0xFFFD;
  *err = U_ZERO_ERROR;
  ucnv_cbToUWriteUChars(args, &c, 1, 0, err);
}

// One thread's converters, opened on first use and reset before every use.
struct Converters {
  UConverter* cp932 = nullptr;
  UConverter* utf8 = nullptr;
  bool opened = false;
  // ICU's table (an IBM one) puts 0x1A, 0x1C and 0x7F on U+001C, U+007F and
  // U+001A. icuOfAscii[b] is ICU's character for the ASCII byte b and
  // asciiOfIcu its inverse. Learnt at run time, so a table without the swap
  // needs no fix.
  std::array<char16_t, 0x80> icuOfAscii{};
  std::array<char16_t, 0x80> asciiOfIcu{};
  bool needAsciiFix = false;

  Converters() = default;
  Converters(const Converters&) = delete;
  Converters& operator=(const Converters&) = delete;
  ~Converters() {
    if (cp932) ucnv_close(cp932);
    if (utf8) ucnv_close(utf8);
  }

  void Open() {
    opened = true;
    for (size_t i = 0; i < 0x80; ++i) icuOfAscii[i] = asciiOfIcu[i] = static_cast<char16_t>(i);
    UErrorCode err = U_ZERO_ERROR;
    UConverter* c = ucnv_open("ibm-943_P15A-2003", &err);
    if (U_SUCCESS(err) && c) {
      err = U_ZERO_ERROR;
      ucnv_setToUCallBack(c, Cp932ToUCallback, nullptr, nullptr, nullptr, &err);
      ucnv_setFromUCallBack(c, Cp932FromUCallback, nullptr, nullptr, nullptr, &err);
      ucnv_setFallback(c, false);
      if (U_SUCCESS(err)) {
        cp932 = c;
      } else {
        ucnv_close(c);
      }
    }
    if (cp932) {
      // Learn where ICU puts each ASCII byte; fix only a permutation of ASCII.
      std::array<char16_t, 0x80> icuOf{};
      bool permutation = true;
      for (int b = 0; b < 0x80; ++b) {
        const char in = static_cast<char>(b);
        UChar out[4];
        err = U_ZERO_ERROR;
        ucnv_reset(cp932);
        const int32_t n = ucnv_toUChars(cp932, out, 4, &in, 1, &err);
        if (U_FAILURE(err) || n != 1 || out[0] >= 0x80) {
          permutation = false;
          break;
        }
        icuOf[b] = out[0];
      }
      if (permutation) {
        std::array<bool, 0x80> seen{};
        for (char16_t u : icuOf) {
          if (seen[u]) permutation = false;
          seen[u] = true;
        }
      }
      if (permutation) {
        for (int b = 0; b < 0x80; ++b) {
          icuOfAscii[b] = icuOf[b];
          asciiOfIcu[icuOf[b]] = static_cast<char16_t>(b);
          if (icuOf[b] != b) needAsciiFix = true;
        }
      }
    }
    err = U_ZERO_ERROR;
    c = ucnv_open("UTF-8", &err);
    if (U_SUCCESS(err) && c) {
      err = U_ZERO_ERROR;
      ucnv_setToUCallBack(c, Utf8ToUCallback, nullptr, nullptr, nullptr, &err);
      if (U_SUCCESS(err)) {
        utf8 = c;
      } else {
        ucnv_close(c);
      }
    }
  }
};

Converters& GetConverters() {
  thread_local Converters converters;
  if (!converters.opened) converters.Open();
  return converters;
}

// Runs a whole to-Unicode conversion; false when ICU reports an error.
bool RunToUnicode(UConverter* cnv, std::string_view in, std::u16string& out) {
  ucnv_reset(cnv);
  out.clear();
  size_t written = 0;
  const char* src = in.data();
  const char* const srcEnd = in.data() + in.size();
  while (true) {
    const size_t chunkLen = std::min<size_t>(static_cast<size_t>(srcEnd - src), kChunk);
    const bool flush = chunkLen == static_cast<size_t>(srcEnd - src);
    // Room for any output of the chunk: at most two UTF-16 units per byte.
    const size_t room = 2 * chunkLen + 16;
    if (out.size() < written + room) out.resize(std::max(written + room, out.size() + out.size() / 2));
    UErrorCode err = U_ZERO_ERROR;
    UChar* const base = reinterpret_cast<UChar*>(out.data());
    UChar* target = base + written;
    ucnv_toUnicode(cnv, &target, target + room, &src, src + chunkLen, nullptr, flush, &err);
    written = static_cast<size_t>(target - base);
    if (err == U_BUFFER_OVERFLOW_ERROR) continue;  // go on from where it stopped
    if (U_FAILURE(err)) {
      out.clear();
      return false;
    }
    if (flush) break;
  }
  out.resize(written);
  return true;
}

// Runs a whole from-Unicode conversion; false when ICU stops on a character.
bool RunFromUnicode(UConverter* cnv, std::u16string_view in, std::string& out) {
  ucnv_reset(cnv);
  out.clear();
  size_t written = 0;
  const UChar* src = reinterpret_cast<const UChar*>(in.data());
  const UChar* const srcEnd = src + in.size();
  while (true) {
    const size_t chunkLen = std::min<size_t>(static_cast<size_t>(srcEnd - src), kChunk);
    const bool flush = chunkLen == static_cast<size_t>(srcEnd - src);
    // Room for any output of the chunk: at most four bytes per UTF-16 unit.
    const size_t room = 4 * chunkLen + 16;
    if (out.size() < written + room) out.resize(std::max(written + room, out.size() + out.size() / 2));
    UErrorCode err = U_ZERO_ERROR;
    char* const base = out.data();
    char* target = base + written;
    ucnv_fromUnicode(cnv, &target, target + room, &src, src + chunkLen, nullptr, flush, &err);
    written = static_cast<size_t>(target - base);
    if (err == U_BUFFER_OVERFLOW_ERROR) continue;
    if (U_FAILURE(err)) {
      out.clear();
      return false;
    }
    if (flush) break;
  }
  out.resize(written);
  return true;
}

// Well-formed UTF-8 holding at least one multi-byte sequence.
bool IsUtf8WithMultiByte(std::string_view s) {
  const bool multiByte = std::any_of(s.begin(), s.end(), [](char c) { return static_cast<uint8_t>(c) >= 0x80; });
  return multiByte && IsValidUtf8(s);
}

// Lossy stand-in when ICU's data cannot be loaded: ASCII kept, the rest U+FFFD.
std::u16string AsciiOnly(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (char ch : bytes) {
    const auto b = static_cast<uint8_t>(ch);
    out.push_back(b < 0x80 ? static_cast<char16_t>(b) : u'\uFFFD');
  }
  return out;
}

}  // namespace

std::u16string DecodeCp932(std::string_view bytes) {
  Converters& c = GetConverters();
  if (!c.cp932) return AsciiOnly(bytes);
  std::u16string out;
  if (!RunToUnicode(c.cp932, bytes, out)) return AsciiOnly(bytes);
  if (c.needAsciiFix) {
    for (char16_t& u : out) {
      if (u < 0x80) u = c.asciiOfIcu[u];
    }
  }
  return out;
}

std::optional<std::string> EncodeCp932(std::u16string_view text) {
  Converters& c = GetConverters();
  std::string out;
  if (!c.cp932) {
    for (char16_t u : text) {
      if (u >= 0x80) return std::nullopt;
      out.push_back(static_cast<char>(u));
    }
    return out;
  }
  std::u16string fixed;
  if (c.needAsciiFix) {
    // Feed ICU its own character for each ASCII byte wanted.
    const auto differs = [&c](char16_t u) { return u < 0x80 && c.icuOfAscii[u] != u; };
    if (std::any_of(text.begin(), text.end(), differs)) {
      fixed.assign(text);
      for (char16_t& u : fixed) {
        if (u < 0x80) u = c.icuOfAscii[u];
      }
      text = fixed;
    }
  }
  if (!RunFromUnicode(c.cp932, text, out)) return std::nullopt;
  return out;
}

std::u16string DecodeUtf8(std::string_view bytes) {
  Converters& c = GetConverters();
  std::u16string out;
  if (c.utf8 && RunToUnicode(c.utf8, bytes, out)) return out;
  return AsciiOnly(bytes);
}

std::string EncodeUtf8WithBom(std::u16string_view text) {
  std::string out(kUtf8Bom);
  out.reserve(kUtf8Bom.size() + text.size() * 3);
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    uint32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

// UTF-16 after its byte order mark (Windows' "Unicode" text files); an odd last
// byte and unpaired surrogates become U+FFFD, as ill-formed UTF-8 does.
std::u16string DecodeUtf16(std::string_view bytes, bool bBigEndian) {
  std::u16string out;
  out.reserve(bytes.size() / 2 + 1);
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<uint8_t>(bytes[i]);
    const auto second = static_cast<uint8_t>(bytes[i + 1]);
    out.push_back(static_cast<char16_t>(bBigEndian ? (first << 8) | second : (second << 8) | first));
  }
  if (bytes.size() % 2) out.push_back(u'\uFFFD');
  for (size_t i = 0; i < out.size(); ++i) {
    const bool bLead = out[i] >= 0xD800 && out[i] <= 0xDBFF;
    if (bLead && i + 1 < out.size() && out[i + 1] >= 0xDC00 && out[i + 1] <= 0xDFFF) {
      ++i;  // a pair
    } else if (out[i] >= 0xD800 && out[i] <= 0xDFFF) {
      out[i] = u'\uFFFD';
    }
  }
  return out;
}

std::u16string DecodeTextBytes(std::string_view bytes) {
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) return DecodeUtf8(bytes.substr(kUtf8Bom.size()));
  if (bytes.substr(0, 2) == "\xFF\xFE") return DecodeUtf16(bytes, false);
  if (bytes.substr(0, 2) == "\xFE\xFF") return DecodeUtf16(bytes, true);
  if (IsUtf8WithMultiByte(bytes)) return DecodeUtf8(bytes);
  return DecodeCp932(bytes);
}

std::string EncodeTextBytes(std::u16string_view text) {
  if (auto cp932 = EncodeCp932(text)) return std::move(*cp932);
  return EncodeUtf8WithBom(text);
}

}  // namespace ekoto
