// The conversion template: any template text loads, entries come longest first
// and never with an empty text to find, and applying them to any text ends
// without growing it past its cap.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

#include "FuzzInput.h"
#include "conversion/ConvTemplete.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ekoto;
  FuzzedDataProvider provider(data, size);
  const std::string templateBytes = provider.ConsumeRandomLengthString();
  const std::string textBytes = provider.ConsumeRemainingBytesAsString();

  CConvTemplete table;
  table.LoadFromText(DecodeTextBytes(templateBytes));
  const auto& entries = table.Entries();
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].sFrom.empty()) fuzz::Fail("entry with nothing to find");
    if (i > 0 && entries[i - 1].sFrom.size() < entries[i].sFrom.size()) fuzz::Fail("entries not longest first");
  }
  const std::u16string text = fuzz::Text(reinterpret_cast<const uint8_t*>(textBytes.data()), textBytes.size());
  const std::u16string out = table.Apply(text);
  if (entries.empty() && out != text) fuzz::Fail("empty table changed the text");
  if (out.size() > std::max(text.size(), table.MaxResultLength(text.size()))) fuzz::Fail("result past its cap");
  return 0;
}
