// The reverse converter of the program: MeCab with the IPA dictionary gives the
// pronunciation of each word, corrected by the pronunciation rules and returned
// in hiragana ("今日は" -> "きょーわ"); KAKASI reads kanji words MeCab lacks.
// Not thread-safe: one object must be used by one thread at a time.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/KakasiReader.h"
#include "conversion/PronunciationRules.h"
#include "conversion/ReverseConverter.h"

namespace MeCab {
class Model;
class Tagger;
class Lattice;
}  // namespace MeCab

struct UNormalizer2;

namespace ekoto {

class MecabReverseConverter final : public IReverseConverter {
 public:
  using ReportHook = std::function<void(const std::u16string&)>;

  // Uses the UTF-8 IPA dictionary where Debian's mecab-ipadic-utf8 installs it.
  MecabReverseConverter();
  // Uses the dictionary in sDicDir (the folder holding dicrc and sys.dic).
  explicit MecabReverseConverter(std::string sDicDir);
  ~MecabReverseConverter() override;
  MecabReverseConverter(const MecabReverseConverter&) = delete;
  MecabReverseConverter& operator=(const MecabReverseConverter&) = delete;

  // Returns true and the reading of piece in hiragana; Latin letters, digits,
  // symbols and spaces pass through. False for an empty piece, and for every
  // piece when the dictionary cannot be loaded. MeCab is loaded at the first call.
  bool ReverseConvert(const std::u16string& piece, std::u16string& reading) override;

  // Receives the one message given when the dictionary cannot be loaded.
  // Without a hook the message goes to stderr.
  void SetReportHook(ReportHook hook);

 private:
  enum class LoadState { kNotTried, kLoaded, kFailed };

  bool EnsureLoaded();
  bool Load(std::u16string& sError);
  void Report(const std::u16string& sMessage);
  bool Normalize(const std::u16string& piece);
  // Appends the reading of one chunk of m_sInput to reading.
  bool ParseChunk(std::string_view sChunk, std::u16string& reading);

  std::optional<std::string> m_sDicDir;  // unset: look in the known places
  ReportHook m_reportHook;
  LoadState m_loadState = LoadState::kNotTried;
  const UNormalizer2* m_pNfkc = nullptr;
  std::unique_ptr<MeCab::Model> m_model;
  std::unique_ptr<MeCab::Tagger> m_tagger;
  std::unique_ptr<MeCab::Lattice> m_lattice;
  // Buffers kept between calls so that a conversion allocates nothing in the common case.
  std::u16string m_sNormalized;
  std::string m_sInput;
  std::u16string m_sFields;      // the decoded fields m_words point into
  std::vector<Morpheme> m_words;
  KakasiReader m_unknownWords;  // for words the dictionary does not know
};

// The first of the folders where mecab-ipadic-utf8 may be that holds it; "" when none does.
std::string FindMecabDicDir();

// The process-wide MeCab converter used by the program and its tools.
IReverseConverter& DefaultReverseConverter();

}  // namespace ekoto
