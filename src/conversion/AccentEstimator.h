// Estimates the pitch accent of a sentence: MeCab with Open JTalk's NAIST
// Japanese dictionary (Debian's open-jtalk-mecab-naist-jdic) gives every word's
// accent type and how it combines with the words before it; the accent rules
// join words into accent phrases and place each phrase's nucleus; the plan is
// then fitted onto the reading the program says.
// Thread-compatible: use one estimator per thread.
#pragma once
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "conversion/AccentPlan.h"
#include "conversion/AccentRules.h"

namespace MeCab {
class Model;
class Tagger;
class Lattice;
}  // namespace MeCab

namespace ekoto {

class CAccentEstimator final : public IAccentSource {
 public:
  // Uses the dictionary where Debian's open-jtalk-mecab-naist-jdic installs it.
  CAccentEstimator();
  // Uses the dictionary in sDicDir (the folder holding sys.dic, matrix.bin,
  // char.bin and unk.dic).
  explicit CAccentEstimator(std::string sDicDir);
  ~CAccentEstimator() override;
  CAccentEstimator(const CAccentEstimator&) = delete;
  CAccentEstimator& operator=(const CAccentEstimator&) = delete;

  // The dictionary is loaded at the first call; without it every plan is empty
  // and LoadError says why.
  // Numbers are planned as written (6か月 as 6 and か月), said as the numeral
  // step read them.
  AccentPlan PlanAccent(const std::u16string& sWritten, const std::u16string& sSentence,
                        const std::u16string& sReading) override;

  // Loads the dictionary now rather than at the first PlanAccent (10-30 ms), so
  // that a reader can pay it before the first sentence. True iff it is usable.
  bool Preload() { return EnsureLoaded(); }

  // Why plans are empty: the dictionary could not be loaded (naming the folder
  // and the package to install). Empty before the first PlanAccent and while the
  // dictionary works.
  const std::u16string& LoadError() const { return m_sLoadError; }

 private:
  bool EnsureLoaded();
  // The words the dictionary finds in sSentence, with their accent fields, the
  // numbers of sWritten put back where sSentence says them; empty when the
  // dictionary cannot be loaded.
  std::vector<AccentWord> AnalyseWords(const std::u16string& sWritten, const std::u16string& sSentence);
  // The accent the dictionary gives the dictionary form sBase of a verb (0 when
  // it is flat or not a single verb), remembered once asked.
  int BaseFormAccent(const std::u16string& sBase);

  std::string m_sDicDir;
  bool m_bLoadTried = false;
  std::u16string m_sLoadError;
  std::unique_ptr<MeCab::Model> m_model;
  std::unique_ptr<MeCab::Tagger> m_tagger;
  std::unique_ptr<MeCab::Lattice> m_lattice;
  std::unordered_map<std::u16string, int> m_baseFormAccent;
};

}  // namespace ekoto
