// The text codec of the program's files: CP932 (Windows-31J, the Japanese
// Windows ANSI code page) and UTF-8.
//
// CP932 here means what Windows' own code page 932 does, built on ICU's
// "ibm-943_P15A-2003" table (the one ICU names windows-31j) with the
// differences of that table put right:
//   - 0x00-0x7F are ASCII exactly: 0x5C is "\", 0x7E is "~", and 0x1A, 0x1C,
//     0x7F are U+001A, U+001C, U+007F (the IBM table swaps these three);
//   - 0x80 is U+0080, 0xA0 is U+F8F0, 0xFD, 0xFE, 0xFF are U+F8F1-U+F8F3;
//   - the NEC and IBM extensions, the user-defined area (0xF040-0xF9FC as
//     U+E000-U+E757), 0x8160 as U+FF5E, 0x815C as U+2015, 0x817C as U+FF0D.
// Encoding uses round-trip mappings only, so DecodeCp932(*EncodeCp932(t)) == t.
//
// Every function is safe to call from any thread; each thread keeps its own
// converters, so a call costs no converter set-up.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace ekoto {

// CP932 bytes as text. A byte or pair with no character becomes U+FFFD.
std::u16string DecodeCp932(std::string_view bytes);

// Text as CP932 bytes; std::nullopt when any character (or an unpaired
// surrogate) has no CP932 form. Nothing is ever substituted.
std::optional<std::string> EncodeCp932(std::u16string_view text);

// Bytes of a text file as text:
//   - starting with the UTF-8 BOM (EF BB BF): UTF-8, the BOM dropped,
//     ill-formed sequences as U+FFFD;
//   - starting with a UTF-16 BOM (FF FE or FE FF): UTF-16 of that byte order,
//     unpaired surrogates as U+FFFD;
//   - else well-formed UTF-8 holding at least one multi-byte sequence: UTF-8;
//   - else (pure ASCII, or not UTF-8): CP932.
// CP932 bytes that happen to be well-formed UTF-8 (e.g. "ﾃｩ", C3 A9) are read
// as UTF-8; such text is rare and short.
std::u16string DecodeTextBytes(std::string_view bytes);

// Text as the bytes of a text file: CP932 when every character has a CP932
// form, else UTF-8 with a BOM (unpaired surrogates become U+FFFD there).
// DecodeTextBytes reads both back, except for the rare CP932 texts above.
std::string EncodeTextBytes(std::u16string_view text);

// Text as UTF-8 bytes after a BOM (EF BB BF); unpaired surrogates become U+FFFD.
std::string EncodeUtf8WithBom(std::u16string_view text);

// UTF-8 bytes as text, ill-formed sequences as U+FFFD. No size limit.
std::u16string DecodeUtf8(std::string_view bytes);

// The UTF-8 byte order mark.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

}  // namespace ekoto
