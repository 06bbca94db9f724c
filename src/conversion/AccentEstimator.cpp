#include "conversion/AccentEstimator.h"

#include <mecab.h>
#include <unicode/unorm2.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "conversion/AccentFit.h"
#include "conversion/AccentNumerals.h"
#include "conversion/Morae.h"
#include "conversion/PronunciationRules.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

constexpr const char* kDicPackage = "open-jtalk-mecab-naist-jdic";
constexpr const char* kDefaultDicDir = "/var/lib/mecab/dic/open-jtalk/naist-jdic";
constexpr std::array<const char*, 4> kDicFiles = {"sys.dic", "matrix.bin", "char.bin", "unk.dic"};

// Fields of a dictionary entry: the IPA part-of-speech fields, base form,
// reading, pronunciation, then "accent type/morae" and the combination rule.
// Words of several parts ("ありがとう:ございました") separate them with ':'.
enum Field {
  kPartOfSpeech = 0,
  kSubclass1 = 1,
  kSubclass3 = 3,
  kConjugation = 5,
  kBase = 6,
  kPronunciation = 8,
  kAccent = 9,
  kChainRule = 10,
  kFieldCount = 11,
};

std::vector<std::string_view> SplitFields(std::string_view s, char separator) {
  std::vector<std::string_view> fields;
  for (size_t pos = 0;;) {
    const size_t end = s.find(separator, pos);
    fields.push_back(s.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos));
    if (end == std::string_view::npos) return fields;
    pos = end + 1;
  }
}

std::u16string FieldText(std::string_view s) { return s == "*" ? std::u16string() : Utf8ToUtf16(s); }

// The hiragana of a dictionary pronunciation: katakana made hiragana, marks
// such as the devoicing ’ dropped.
std::u16string PronunciationKana(std::string_view sPron) {
  std::u16string kana;
  for (const char16_t c : Utf8ToUtf16(sPron)) {
    if (IsKanaLetter(c)) kana += c;
  }
  KatakanaToHiragana(kana);
  return kana;
}

int LeadingNumber(std::string_view s) {
  int n = 0;
  for (const char c : s) {
    if (c < '0' || c > '9') break;
    n = n * 10 + (c - '0');
  }
  return n;
}

// MeCab reads its settings from a file named dicrc in the dictionary's folder,
// and Debian's package ships none: the model is opened from a scratch folder
// holding our settings and links to the dictionary's files. MeCab maps the
// files while the model is made, so the folder is removed at once.
MeCab::Model* OpenModel(const std::string& sDicDir, std::u16string& sError) {
  for (const char* file : kDicFiles) {
    if (access((sDicDir + "/" + file).c_str(), R_OK) != 0) {
      sError = u"No accent dictionary in " + Utf8ToUtf16(sDicDir) + u" (" + Utf8ToUtf16(file) +
               u" is missing); speech stays at one pitch. Install the package " + Utf8ToUtf16(kDicPackage) + u".";
      return nullptr;
    }
  }
  const char* tmp = std::getenv("TMPDIR");
  std::string sScratch = std::string(tmp && *tmp ? tmp : "/tmp") + "/ekoto-accent-XXXXXX";
  if (!mkdtemp(sScratch.data())) {
    sError = u"Cannot make a scratch folder in " + Utf8ToUtf16(tmp && *tmp ? tmp : "/tmp") +
             u" to open the accent dictionary; speech stays at one pitch.";
    return nullptr;
  }
  const std::string sRc = sScratch + "/dicrc";
  bool bReady = false;
  if (FILE* rc = std::fopen(sRc.c_str(), "w")) {
    bReady = std::fputs("bos-feature = BOS/EOS,*,*,*,*,*,*,*,*,*,*\n", rc) >= 0;
    bReady = std::fclose(rc) == 0 && bReady;
  }
  for (const char* file : kDicFiles) {
    bReady = bReady && symlink((sDicDir + "/" + file).c_str(), (sScratch + "/" + file).c_str()) == 0;
  }
  MeCab::Model* model = nullptr;
  if (bReady) {
    std::array<const char*, 5> args = {"mecab", "-d", sScratch.c_str(), "-r", "/dev/null"};
    model = MeCab::createModel(static_cast<int>(args.size()), const_cast<char**>(args.data()));
  }
  for (const char* file : kDicFiles) unlink((sScratch + "/" + file).c_str());
  unlink(sRc.c_str());
  rmdir(sScratch.c_str());
  if (!model) {
    sError = u"The accent dictionary in " + Utf8ToUtf16(sDicDir) + u" cannot be opened (" +
             Utf8ToUtf16(bReady ? MeCab::getLastError() : "scratch folder not writable") +
             u"); speech stays at one pitch. Reinstall the package " + Utf8ToUtf16(kDicPackage) + u".";
  }
  return model;
}

// Appends the words of one dictionary node: most nodes are one word, some
// entries hold several, each its own accent phrase.
void AppendWords(const MeCab::Node& node, std::vector<AccentWord>& words) {
  const std::string_view sSurface(node.surface, node.length);
  const auto fields = SplitFields(node.feature, ',');
  AccentWord word;
  word.sSurface = Utf8ToUtf16(sSurface);
  word.sPartOfSpeech = FieldText(fields[kPartOfSpeech]);
  if (fields.size() > kSubclass3) {
    word.sSubclass1 = FieldText(fields[kSubclass1]);
    word.sSubclass3 = FieldText(fields[kSubclass3]);
  }
  if (fields.size() < kFieldCount) {
    // Unknown to the dictionary: a word written in kana is said as written.
    if (word.sPartOfSpeech != u"記号") word.sPron = PronunciationKana(sSurface);
    word.nMorae = static_cast<int>(SplitMorae(word.sPron).size());
    words.push_back(std::move(word));
    return;
  }
  word.sConjugation = FieldText(fields[kConjugation]);
  word.sBase = FieldText(fields[kBase]);
  word.sChainRule = FieldText(fields[kChainRule]);
  const auto prons = SplitFields(fields[kPronunciation], ':');
  const auto accents = SplitFields(fields[kAccent], ':');
  for (size_t i = 0; i < prons.size(); ++i) {
    AccentWord part = word;
    part.sPron = PronunciationKana(prons[i]);
    part.nMorae = static_cast<int>(SplitMorae(part.sPron).size());
    part.nAccent = i < accents.size() ? LeadingNumber(accents[i]) : 0;
    part.bSeparate = i > 0;
    words.push_back(std::move(part));
  }
}

// True iff the sentence asks: it ends in a question mark, or in the final
// particle か. A piece cut at a comma (…無いか、) does not end a sentence.
bool IsQuestion(const std::u16string& sSentence, const std::vector<AccentWord>& words) {
  const size_t last = sSentence.find_last_not_of(u" 　\t」』）)｣");
  if (last == std::u16string::npos) return false;
  if (sSentence[last] == u'？' || sSentence[last] == u'?') return true;
  if (std::u16string_view(u"、，,､").find(sSentence[last]) != std::u16string_view::npos) return false;
  for (auto it = words.rbegin(); it != words.rend(); ++it) {
    if (it->sPartOfSpeech == u"記号") continue;
    return it->sPartOfSpeech == u"助詞" && it->sSurface == u"か" && it->sSubclass1.find(u"終助詞") != std::u16string::npos;
  }
  return false;
}

// NFKC, as the reading's analyser does: the reading options narrow 。 to ｡ and
// katakana to half width, which the dictionary does not know.
std::u16string Nfkc(const std::u16string& s) {
  UErrorCode status = U_ZERO_ERROR;
  const UNormalizer2* nfkc = unorm2_getNFKCInstance(&status);
  if (U_FAILURE(status)) return s;
  const auto* src = reinterpret_cast<const UChar*>(s.data());
  const auto lLength = static_cast<int32_t>(s.size());
  std::u16string out(s.size() * 2 + 16, u'\0');
  int32_t lOut = unorm2_normalize(nfkc, src, lLength, reinterpret_cast<UChar*>(out.data()),
                                  static_cast<int32_t>(out.size()), &status);
  if (status == U_BUFFER_OVERFLOW_ERROR) {
    out.resize(static_cast<size_t>(lOut));
    status = U_ZERO_ERROR;
    lOut = unorm2_normalize(nfkc, src, lLength, reinterpret_cast<UChar*>(out.data()), lOut, &status);
  }
  if (U_FAILURE(status)) return s;
  out.resize(static_cast<size_t>(lOut));
  return out;
}

}  // namespace

CAccentEstimator::CAccentEstimator() : m_sDicDir(kDefaultDicDir) {}

CAccentEstimator::CAccentEstimator(std::string sDicDir) : m_sDicDir(std::move(sDicDir)) {}

// Out of line: the MeCab types are complete only here.
CAccentEstimator::~CAccentEstimator() = default;

bool CAccentEstimator::EnsureLoaded() {
  if (!m_bLoadTried) {
    m_bLoadTried = true;
    m_model.reset(OpenModel(m_sDicDir, m_sLoadError));
    if (m_model) {
      m_tagger.reset(m_model->createTagger());
      m_lattice.reset(m_model->createLattice());
      if (!m_tagger || !m_lattice) {
        m_sLoadError = u"MeCab could not be started with the accent dictionary in " + Utf8ToUtf16(m_sDicDir) +
                       u"; speech stays at one pitch.";
        m_model.reset();
      }
    }
  }
  return m_model != nullptr;
}

std::vector<AccentWord> CAccentEstimator::AnalyseWords(const std::u16string& sWritten, const std::u16string& sSentence) {
  std::vector<AccentWord> words;
  if (!EnsureLoaded()) return words;
  // The dictionary reads the numbers as written; where each one's bytes are.
  const DigitsText digits = PutDigitsBack(sWritten, sSentence);
  std::string sInput;
  std::vector<std::pair<size_t, size_t>> numeralBytes;
  size_t nFrom = 0;
  for (const NumeralSpan& numeral : digits.numerals) {
    sInput += Utf16ToUtf8(Nfkc(digits.sText.substr(nFrom, numeral.nStart - nFrom)));
    const size_t nByte = sInput.size();
    sInput += Utf16ToUtf8(Nfkc(digits.sText.substr(numeral.nStart, numeral.nLength)));
    numeralBytes.emplace_back(nByte, sInput.size());
    nFrom = numeral.nStart + numeral.nLength;
  }
  sInput += Utf16ToUtf8(Nfkc(digits.sText.substr(nFrom)));
  m_lattice->set_sentence(sInput.c_str(), sInput.size());
  if (!m_tagger->parse(m_lattice.get())) return words;
  size_t nNumeral = 0;
  std::vector<AccentWord> numeralParts;
  for (const MeCab::Node* node = m_lattice->bos_node(); node; node = node->next) {
    if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE) continue;
    const auto nStart = static_cast<size_t>(node->surface - sInput.c_str());
    const size_t nEnd = nStart + node->length;
    if (nNumeral < numeralBytes.size() && nEnd > numeralBytes[nNumeral].first) {
      // A word that reaches across the number's edge: the number stays as the
      // numeral step said it.
      if (nStart < numeralBytes[nNumeral].first || nEnd > numeralBytes[nNumeral].second) {
        return sWritten.empty() ? std::vector<AccentWord>{} : AnalyseWords(std::u16string(), sSentence);
      }
      AppendWords(*node, numeralParts);
      if (nEnd == numeralBytes[nNumeral].second) {
        for (AccentWord& word : NumeralWords(numeralParts, digits.numerals[nNumeral].sKana)) {
          words.push_back(std::move(word));
        }
        numeralParts.clear();
        ++nNumeral;
      }
      continue;
    }
    AppendWords(*node, words);
  }
  // The dictionary leaves some conjugated forms of accented verbs flat (出 of
  // で]る, 定め of さだめ]る) and puts others' nucleus on their first mora (離れ
  // of はなれ]る, said はな]れて): a conjugated form takes its dictionary
  // form's accent, which the rules then move for the form.
  for (AccentWord& word : words) {
    if (word.sPartOfSpeech == u"動詞" && word.sSubclass1 == u"自立" &&
        !word.sConjugation.starts_with(u"基本形") && !word.sBase.empty() && word.sBase != word.sSurface) {
      const int nBase = std::min(BaseFormAccent(word.sBase), word.nMorae);
      if (nBase > 0) word.nAccent = nBase;
    }
  }
  return words;
}

int CAccentEstimator::BaseFormAccent(const std::u16string& sBase) {
  const auto known = m_baseFormAccent.find(sBase);
  if (known != m_baseFormAccent.end()) return known->second;
  int nAccent = 0;
  const std::string sInput = Utf16ToUtf8(sBase);
  m_lattice->set_sentence(sInput.c_str(), sInput.size());
  if (m_tagger->parse(m_lattice.get())) {
    std::vector<AccentWord> words;
    for (const MeCab::Node* node = m_lattice->bos_node(); node; node = node->next) {
      if (node->stat != MECAB_BOS_NODE && node->stat != MECAB_EOS_NODE) AppendWords(*node, words);
    }
    if (words.size() == 1 && words[0].sPartOfSpeech == u"動詞" && words[0].sConjugation.starts_with(u"基本形")) {
      nAccent = words[0].nAccent;
    }
  }
  m_baseFormAccent.emplace(sBase, nAccent);
  return nAccent;
}

AccentPlan CAccentEstimator::PlanAccent(const std::u16string& sWritten, const std::u16string& sSentence,
                                        const std::u16string& sReading) {
  const std::vector<AccentWord> words = AnalyseWords(sWritten, sSentence);
  if (words.empty()) return {};
  AccentPlan plan = FitPlanToReading(PlanOfWords(words), sReading);
  if (!plan.empty() && IsQuestion(sSentence, words)) plan.back().bQuestion = true;
  return plan;
}

}  // namespace ekoto
