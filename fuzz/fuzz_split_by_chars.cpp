// SplitByChars: the pieces join back to the text, and every piece but the last
// ends with a mark or is a full-length cut.
#include "FuzzInput.h"
#include "conversion/SplitText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ekoto;
  const std::u16string text = fuzz::Text(data, size);
  const std::vector<std::u16string> pieces = SplitByChars(text, kSentenceMarks);
  if (pieces.empty()) fuzz::Fail("no pieces");
  std::u16string joined;
  for (size_t i = 0; i < pieces.size(); ++i) {
    const std::u16string& piece = pieces[i];
    joined += piece;
    if (i + 1 == pieces.size()) break;
    if (piece.empty()) fuzz::Fail("empty piece before the last");
    // Notation (ruby, notes) moves a cut for length out of it.
    const bool bNotation = (piece + (i + 1 < pieces.size() ? pieces[i + 1] : u"")).find_first_of(u"｜《［※") !=
                           std::u16string::npos;
    if (piece.size() > static_cast<size_t>(kMaxPieceLength) && !bNotation) fuzz::Fail("piece longer than the cut length");
    const bool bEndsWithMark = kSentenceMarks.find(piece.back()) != std::u16string_view::npos;
    if (!bEndsWithMark && piece.size() != static_cast<size_t>(kMaxPieceLength) && !bNotation) {
      fuzz::Fail("piece ends neither with a mark nor at the cut length");
    }
  }
  if (joined != text) fuzz::Fail("pieces do not join back to the text");
  return 0;
}
