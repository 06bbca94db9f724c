// Whole-word checks with MeCab: its own model and tagger, so that the
// template can ask from whatever thread reads, beside the reading converter.
#include <mecab.h>
#include <unicode/utf16.h>

#include <array>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "conversion/MecabReverseConverter.h"
#include "conversion/WordBounds.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

// Units of context analysed on either side of a match: enough for the words
// around it, and a bounded cost however long the sentence.
constexpr size_t kContext = 32;

class MecabBounds final : public IWordBounds {
 public:
  bool IsWholeWords(std::u16string_view text, size_t nStart, size_t nEnd) override {
    const std::lock_guard lock(m_mutex);
    if (!EnsureLoaded()) return true;
    size_t nFrom = nStart > kContext ? nStart - kContext : 0;
    size_t nTo = std::min(text.size(), nEnd + kContext);
    if (nFrom > 0 && U16_IS_TRAIL(text[nFrom])) --nFrom;  // never half a character
    if (nTo < text.size() && U16_IS_TRAIL(text[nTo])) ++nTo;
    // UTF-8 of the window, and for every byte the unit it starts in.
    std::string sInput;
    std::vector<size_t> unitOfByte;
    for (size_t i = nFrom; i < nTo;) {
      const size_t nLen = U16_IS_LEAD(text[i]) && i + 1 < nTo && U16_IS_TRAIL(text[i + 1]) ? 2 : 1;
      const std::string sChar = Utf16ToUtf8(text.substr(i, nLen));
      sInput += sChar;
      unitOfByte.insert(unitOfByte.end(), sChar.size(), i);
      i += nLen;
    }
    unitOfByte.push_back(nTo);
    m_lattice->set_sentence(sInput.c_str());
    if (!m_tagger->parse(m_lattice.get())) return true;
    for (const MeCab::Node* node = m_lattice->bos_node(); node; node = node->next) {
      if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE) continue;
      const size_t nByte = static_cast<size_t>(node->surface - m_lattice->sentence());
      const size_t nWordStart = unitOfByte[nByte];
      const size_t nWordEnd = unitOfByte[std::min(nByte + node->length, sInput.size())];
      for (const size_t nAt : {nStart, nEnd}) {
        if (nWordStart < nAt && nAt < nWordEnd) return false;
      }
    }
    return true;
  }

 private:
  bool EnsureLoaded() {
    if (m_bTried) return m_tagger != nullptr;
    m_bTried = true;
    const std::string sDir = FindMecabDicDir();
    if (sDir.empty()) return false;
    std::array<const char*, 5> args = {"mecab", "-d", sDir.c_str(), "-r", "/dev/null"};
    m_model.reset(MeCab::createModel(static_cast<int>(args.size()), const_cast<char**>(args.data())));
    if (!m_model) return false;
    m_lattice.reset(m_model->createLattice());
    m_tagger.reset(m_model->createTagger());
    if (!m_lattice) m_tagger.reset();
    return m_tagger != nullptr;
  }

  std::mutex m_mutex;
  // Guarded by m_mutex:
  bool m_bTried = false;
  std::unique_ptr<MeCab::Model> m_model;
  std::unique_ptr<MeCab::Tagger> m_tagger;
  std::unique_ptr<MeCab::Lattice> m_lattice;
};

}  // namespace

IWordBounds& MecabWordBounds() {
  static MecabBounds bounds;
  return bounds;
}

}  // namespace ekoto
