// The syllable units that ordinary Japanese text turns into, which every voice
// source file should hold a sample for.
#pragma once
#include <string>
#include <vector>

namespace ekoto {

// Every unit once, in a fixed order: basic kana, voiced and half-voiced kana (not ゔ,
// which CP932 cannot encode), small kana, the kana + ゃゅょ combinations found in
// dictionary readings, A-Z, and the marks and long mark that stay units of their own.
std::vector<std::u16string> RequiredUnits();

}  // namespace ekoto
