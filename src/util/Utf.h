// Conversions between the UTF-8 of the outside world (files, terminals, paths)
// and the UTF-16 the program works in.
#pragma once
#include <string>
#include <string_view>

namespace ekoto {

// Returns true iff s is well-formed UTF-8.
bool IsValidUtf8(std::string_view s);

// Decodes UTF-8; ill-formed sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view s);

// Encodes UTF-16 as UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view s);

}  // namespace ekoto
