// The reading options applied to one sentence before it goes to the analyser.
// The GUI's OnConvertion handler and the command-line tools both call this.
#pragma once
#include <string>

namespace ekoto {

struct ReadingOptions {
  bool bAUpperCase = true;  // letters to upper case
  bool bANNarrow = true;    // full-width forms to half-width
  bool bNumeric = true;     // digit runs read as Japanese numerals
};

// Upper case, narrowing, the program's conversion template (always), numerals,
// in that order.
std::u16string ApplyReadingOptions(std::u16string txt, const ReadingOptions& options);

class CConvTemplete;
// The same with a template of the caller's own instead of the program's table,
// for work on another thread.
std::u16string ApplyReadingOptions(std::u16string txt, const ReadingOptions& options, const CConvTemplete& templete);

}  // namespace ekoto
