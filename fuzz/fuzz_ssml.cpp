// The SSML of speech-dispatcher's messages: any bytes are read, marks are named
// and lie in the text in order, and a message without markup or references is
// read exactly as it is written.
#include <string_view>

#include "FuzzInput.h"
#include "speechd/SsmlText.h"
#include "util/Utf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ekoto;
  const std::string_view ssml = fuzz::Bytes(data, size);
  const SpeechText text = ParseSsml(ssml);
  size_t last = 0;
  for (const SpeechMark& mark : text.marks) {
    if (mark.sName.empty()) fuzz::Fail("a mark without a name");
    if (mark.nOffset < last || mark.nOffset > text.sText.size()) fuzz::Fail("a mark out of order or past the text");
    last = mark.nOffset;
  }
  if (ssml.find_first_of("<&") == std::string_view::npos && text.sText != Utf8ToUtf16(ssml)) {
    fuzz::Fail("plain text changed");
  }
  if (SaidText(ssml).size() > text.sText.size()) fuzz::Fail("what is said grew past the text");
  return 0;
}
