// The conversion template: any template text loads, entries come longest first
// and never with an empty text to find, and applying them to any text ends
// without growing it past its cap. Small tables give what trying every entry
// everywhere gives, and the window's "//@" fields survive a write and a read.
// The entries' accent marks over a plan of the result keep its morae and give
// every phrase at most one nucleus, on a high mora.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

#include "FuzzInput.h"
#include "conversion/ConvTemplete.h"
#include "conversion/Morae.h"
#include "conversion/TempleteAccent.h"
#include "conversion/TempleteFile.h"
#include "conversion/WordBounds.h"

namespace {

// Whole words end at even positions: a fixed rule in place of the analyser.
class EvenBounds : public ekoto::IWordBounds {
 public:
  bool IsWholeWords(std::u16string_view text, size_t nStart, size_t nEnd) override {
    return (nStart % 2 == 0 || nStart == text.size()) && (nEnd % 2 == 0 || nEnd == text.size());
  }
};

// Plans the sentence's own kana, high and low in turn, a phrase every third mora.
class TurnsAccent : public ekoto::IAccentSource {
 public:
  ekoto::AccentPlan PlanAccent(const std::u16string& /*sWritten*/, const std::u16string& sSentence,
                               const std::u16string& /*sReading*/) override {
    ekoto::AccentPlan plan;
    for (const std::u16string& mora : ekoto::SplitMorae(sSentence)) {
      const size_t i = plan.size();
      plan.push_back({.sMora = mora, .bHigh = i % 2 == 1, .bNucleus = i % 6 == 3, .bPhraseStart = i % 3 == 0});
    }
    return plan;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ekoto;
  FuzzedDataProvider provider(data, size);
  const std::string templateBytes = provider.ConsumeRandomLengthString();
  const std::string textBytes = provider.ConsumeRemainingBytesAsString();

  EvenBounds bounds;
  CConvTemplete table;
  table.SetWordBounds(&bounds);
  const std::u16string templateText = DecodeTextBytes(templateBytes);
  table.LoadFromText(templateText);
  const TempleteLines lines = ParseTempleteLines(templateText);
  if (JoinTempleteLines(lines) != templateText) fuzz::Fail("lines do not join to the text");
  for (const TempleteLines::Entry& e : lines.entries) {
    // A lone CR is part of a line but cannot be written inside one.
    const TempleteEntry& f = e.entry;
    if ((f.sFrom + f.sTo + f.sAccent + f.sNote).find(u'\r') != std::u16string::npos) continue;
    const std::vector<std::u16string> written = TempleteEntryLines(e.entry);
    std::u16string again;
    for (const std::u16string& line : written) again += line + u"\n";
    const std::vector<TempleteLines::Entry> reread = ParseTempleteLines(again).entries;
    if (reread.size() != 1 || !(EntryForReading(reread[0].entry) == EntryForReading(e.entry))) {
      fuzz::Fail("an entry changed when written and read");
    }
  }
  const auto& entries = table.Entries();
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].sFrom.empty()) fuzz::Fail("entry with nothing to find");
    if (i > 0 && entries[i - 1].sFrom.size() < entries[i].sFrom.size()) fuzz::Fail("entries not longest first");
  }
  const std::u16string text = fuzz::Text(reinterpret_cast<const uint8_t*>(textBytes.data()), textBytes.size());
  const std::u16string out = table.Apply(text);
  if (entries.empty() && out != text) fuzz::Fail("empty table changed the text");
  if (entries.size() <= 16 && out != table.ApplyTryingEveryEntry(text)) fuzz::Fail("found entries differ from every entry");
  if (out.size() > std::max(text.size(), table.MaxResultLength(text.size()))) fuzz::Fail("result past its cap");

  TurnsAccent turns;
  const AccentPlan plan = CTempleteAccent(turns, table).PlanAccent(out, out, out);
  const std::vector<std::u16string> morae = SplitMorae(out);
  if (plan.size() != morae.size()) fuzz::Fail("the accent changed the number of morae");
  bool bFallen = false;
  for (size_t i = 0; i < plan.size(); ++i) {
    if (plan[i].sMora != morae[i]) fuzz::Fail("the accent changed a mora");
    if (plan[i].bPhraseStart) bFallen = false;
    if (plan[i].bNucleus && (bFallen || !plan[i].bHigh)) fuzz::Fail("a second or low nucleus in a phrase");
    bFallen = bFallen || plan[i].bNucleus;
  }
  return 0;
}
