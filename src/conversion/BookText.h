// A text as the window shows it, with the chapters found in it: headings
// marked in an Aozora Bunko text, or an EPUB book's table of contents.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace ekoto {

struct Chapter {
  std::u16string sTitle;
  int32_t lOffset = 0;  // UTF-16 position of the chapter's start in the text shown
  int nLevel = 1;       // 1 for a top-level heading, deeper levels count up
};

struct BookText {
  std::u16string sText;            // what the text box shows (ruby notation kept)
  std::vector<Chapter> aChapters;  // in the order of their offsets
};

}  // namespace ekoto
