// Steps one to four of the reading of a sentence, assembled in one place.
#include "conversion/ConversionChain.h"

#include "conversion/ConvNumeric2Hira.h"
#include "conversion/ConvTemplete.h"
#include "conversion/TextOptions.h"

namespace ekoto {
namespace {

template <class Templete>
std::u16string Chain(std::u16string txt, const ReadingOptions& options, const Templete& templete) {
  // The text road: options (upper case, narrowing) → template → numerals →
  // hiragana → units. The first four steps are here; the reader does the last two.
  // Narrowing runs before the template so that entries written in ASCII also
  // match full-width input; numerals run after it so that digits it writes are read.
  if (options.bAUpperCase) txt = ToUpperCaseText(txt);
  if (options.bANNarrow) txt = NarrowText(txt);
  txt = templete(txt);
  if (options.bNumeric) txt = ConvNumeric2Hira(txt);
  return txt;
}

}  // namespace

std::u16string ApplyReadingOptions(std::u16string txt, const ReadingOptions& options) {
  return Chain(std::move(txt), options, [](const std::u16string& t) { return ConvTemplete(t); });
}

std::u16string ApplyReadingOptions(std::u16string txt, const ReadingOptions& options, const CConvTemplete& templete) {
  return Chain(std::move(txt), options, [&templete](const std::u16string& t) { return templete.Apply(t); });
}

}  // namespace ekoto
