// Turning fuzzer bytes into the texts the program works on.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "util/Cp932.h"

namespace ekoto::fuzz {

inline std::string_view Bytes(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Text as a file would give it (UTF-8 or CP932), or, when the first byte is
// 0xFF, the rest taken as raw UTF-16 units so that unpaired surrogates and
// every other unit the decoders never produce get tried as well.
inline std::u16string Text(const uint8_t* data, size_t size) {
  if (size > 0 && data[0] == 0xFF) {
    std::u16string units;
    for (size_t i = 1; i + 1 < size; i += 2) {
      units.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    }
    return units;
  }
  return DecodeTextBytes(Bytes(data, size));
}

// An ASCII or full-width digit: what a number reading must leave none of.
inline bool IsDigit(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'０' && c <= u'９'); }

// A broken invariant: libFuzzer keeps the input that got here.
[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

}  // namespace ekoto::fuzz
