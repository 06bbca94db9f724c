#include "conversion/MecabReverseConverter.h"

#include <mecab.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>

#include <array>
#include <cstdio>
#include <strings.h>
#include <string_view>
#include <utility>

#include "util/Utf.h"

namespace ekoto {
namespace {

constexpr std::string_view kDicPackage = "mecab-ipadic-utf8";

// Where mecab-ipadic-utf8 puts the dictionary: Debian's own folder first, then
// the compiled-in default folders of upstream and of older packages.
constexpr std::array<const char*, 4> kKnownDicDirs = {
    "/var/lib/mecab/dic/ipadic-utf8",
    "/usr/lib/x86_64-linux-gnu/mecab/dic/ipadic-utf8",
    "/usr/lib/mecab/dic/ipadic-utf8",
    "/usr/local/lib/mecab/dic/ipadic-utf8",
};

// Fields of an IPA dictionary entry: the reading and the pronunciation, both in
// katakana. Unknown words have only seven fields.
constexpr int kReadingField = 7;
constexpr int kPronunciationField = 8;

bool IsDicDir(const std::string& sDir) {
  for (const char* name : {"/dicrc", "/sys.dic"}) {
    if (FILE* f = std::fopen((sDir + name).c_str(), "rb")) {
      std::fclose(f);
    } else {
      return false;
    }
  }
  return true;
}

// Returns field nField of a comma-separated feature string, or an empty view when
// the entry has fewer fields or the field is "*" (no value). One pass, no strlen:
// this runs for every word.
std::string_view FeatureField(const char* feature, int nField) {
  const char* p = feature;
  for (int i = 0; i < nField; ++i) {
    while (*p != ',' && *p != '\0') ++p;
    if (*p == '\0') return {};
    ++p;
  }
  const char* end = p;
  while (*end != ',' && *end != '\0') ++end;
  const std::string_view sField(p, static_cast<size_t>(end - p));
  return sField == "*" ? std::string_view() : sField;
}

// MeCab's lattice for one call takes some hundred bytes per input byte, so a long
// text without marks is parsed in chunks of about this many bytes.
constexpr size_t kMaxChunkBytes = 4096;

// Length of the next chunk of UTF-8 text s: all of it when short, else cut after
// the last line break or space in the first kMaxChunkBytes, else at the last
// character boundary there.
size_t ChunkLength(std::string_view s) {
  if (s.size() <= kMaxChunkBytes) return s.size();
  const size_t space = s.find_last_of("\n\r\t ", kMaxChunkBytes - 1);
  if (space != std::string_view::npos) return space + 1;
  size_t end = kMaxChunkBytes;
  while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80) --end;
  return end;
}

// The voice has hiragana units only: katakana ァ..ヶ (ヴ included) become their
// hiragana; the long-vowel mark ー is left as it is.
void KatakanaToHiragana(std::u16string& s) {
  for (char16_t& c : s) {
    if (c >= u'ァ' && c <= u'ヶ') c = static_cast<char16_t>(c - 0x60);
  }
}

}  // namespace

MecabReverseConverter::MecabReverseConverter() = default;

MecabReverseConverter::MecabReverseConverter(std::string sDicDir) : m_sDicDir(std::move(sDicDir)) {}

// Out of line: the MeCab types are complete only here.
MecabReverseConverter::~MecabReverseConverter() = default;

void MecabReverseConverter::SetReportHook(ReportHook hook) { m_reportHook = std::move(hook); }

void MecabReverseConverter::Report(const std::u16string& sMessage) {
  if (m_reportHook) {
    m_reportHook(sMessage);
  } else {
    std::fprintf(stderr, "ekoto: %s\n", Utf16ToUtf8(sMessage).c_str());
  }
}

bool MecabReverseConverter::EnsureLoaded() {
  if (m_loadState == LoadState::kNotTried) {
    std::u16string sError;
    m_loadState = Load(sError) ? LoadState::kLoaded : LoadState::kFailed;
    // Said once: a failed load is not tried again.
    if (m_loadState == LoadState::kFailed) Report(sError);
  }
  return m_loadState == LoadState::kLoaded;
}

bool MecabReverseConverter::Load(std::u16string& sError) {
  const std::u16string sInstall =
      u" Kanji cannot be read; install the package " + Utf8ToUtf16(kDicPackage) + u".";
  std::string sDir;
  if (m_sDicDir) {
    sDir = *m_sDicDir;
  } else {
    std::string sLooked;
    for (const char* dir : kKnownDicDirs) {
      if (IsDicDir(dir)) {
        sDir = dir;
        break;
      }
      sLooked += sLooked.empty() ? dir : std::string(", ") + dir;
    }
    if (sDir.empty()) {
      sError = u"No MeCab dictionary found (looked in " + Utf8ToUtf16(sLooked) + u")." + sInstall;
      return false;
    }
  }

  // The dictionary is named explicitly, since another one may be MeCab's default,
  // and the empty rc file keeps MeCab from needing /etc/mecabrc.
  std::array<const char*, 5> args = {"mecab", "-d", sDir.c_str(), "-r", "/dev/null"};
  m_model.reset(MeCab::createModel(static_cast<int>(args.size()), const_cast<char**>(args.data())));
  if (!m_model) {
    sError = u"No MeCab dictionary found in " + Utf8ToUtf16(sDir) + u" (" + Utf8ToUtf16(MeCab::getLastError()) +
             u")." + sInstall;
    return false;
  }
  const char* charset = m_model->dictionary_info() ? m_model->dictionary_info()->charset : "";
  if (strcasecmp(charset, "utf-8") != 0 && strcasecmp(charset, "utf8") != 0) {
    sError = u"The MeCab dictionary in " + Utf8ToUtf16(sDir) + u" is not UTF-8 (" + Utf8ToUtf16(charset) + u")." +
             sInstall;
    m_model.reset();
    return false;
  }
  m_tagger.reset(m_model->createTagger());
  m_lattice.reset(m_model->createLattice());
  UErrorCode status = U_ZERO_ERROR;
  m_pNfkc = unorm2_getNFKCInstance(&status);
  if (!m_tagger || !m_lattice || U_FAILURE(status)) {
    sError = u"MeCab could not be started with the dictionary in " + Utf8ToUtf16(sDir) + u"." + sInstall;
    return false;
  }
  m_lattice->set_request_type(MECAB_ONE_BEST);
  return true;
}

// NFKC first: half-width katakana, circled digits and the like are not in the
// dictionary otherwise. The result goes to m_sInput as UTF-8.
bool MecabReverseConverter::Normalize(const std::u16string& piece) {
  UErrorCode status = U_ZERO_ERROR;
  const auto* src = reinterpret_cast<const UChar*>(piece.data());
  const auto lLength = static_cast<int32_t>(piece.size());
  std::u16string_view sNormal = piece;
  const int32_t lSpan = unorm2_spanQuickCheckYes(m_pNfkc, src, lLength, &status);
  if (U_FAILURE(status)) return false;
  if (lSpan != lLength) {
    const auto normalize = [&](size_t capacity) {
      m_sNormalized.resize(capacity);
      status = U_ZERO_ERROR;
      return unorm2_normalize(m_pNfkc, src, lLength, reinterpret_cast<UChar*>(m_sNormalized.data()),
                              static_cast<int32_t>(capacity), &status);
    };
    int32_t lOut = normalize(piece.size() * 2 + 16);
    // NFKC can lengthen a text many times over (one ligature becomes 18 letters).
    if (status == U_BUFFER_OVERFLOW_ERROR) lOut = normalize(static_cast<size_t>(lOut));
    if (U_FAILURE(status)) return false;
    sNormal = std::u16string_view(m_sNormalized.data(), static_cast<size_t>(lOut));
  }

  m_sInput.resize(sNormal.size() * 3);
  int32_t lUtf8 = 0;
  status = U_ZERO_ERROR;
  u_strToUTF8WithSub(m_sInput.data(), static_cast<int32_t>(m_sInput.size()), &lUtf8,
                     reinterpret_cast<const UChar*>(sNormal.data()), static_cast<int32_t>(sNormal.size()), 0xFFFD,
                     nullptr, &status);
  if (U_FAILURE(status)) return false;
  m_sInput.resize(static_cast<size_t>(lUtf8));
  return true;
}

bool MecabReverseConverter::ParseChunk(std::string_view sChunk) {
  m_lattice->set_sentence(sChunk.data(), sChunk.size());
  if (!m_tagger->parse(m_lattice.get())) return false;
  // Whatever MeCab skips between words (spaces) is kept as it stands.
  const char* input = sChunk.data();
  size_t pos = 0;
  for (const MeCab::Node* node = m_lattice->bos_node(); node; node = node->next) {
    if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE) continue;
    const auto offset = static_cast<size_t>(node->surface - input);
    m_sOutput.append(input + pos, offset - pos);
    std::string_view sReading = FeatureField(node->feature, kPronunciationField);
    if (sReading.empty()) sReading = FeatureField(node->feature, kReadingField);
    if (sReading.empty()) sReading = std::string_view(node->surface, node->length);
    m_sOutput += sReading;
    pos = offset + node->length;
  }
  m_sOutput.append(input + pos, sChunk.size() - pos);
  return true;
}

bool MecabReverseConverter::ReverseConvert(const std::u16string& piece, std::u16string& reading) {
  if (piece.empty() || !EnsureLoaded() || !Normalize(piece)) return false;

  m_sOutput.clear();
  const std::string_view sInput = m_sInput;
  for (size_t pos = 0; pos < sInput.size();) {
    const size_t lChunk = ChunkLength(sInput.substr(pos));
    if (!ParseChunk(sInput.substr(pos, lChunk))) return false;
    pos += lChunk;
  }

  reading.resize(m_sOutput.size());
  int32_t lLength = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strFromUTF8WithSub(reinterpret_cast<UChar*>(reading.data()), static_cast<int32_t>(reading.size()), &lLength,
                       m_sOutput.data(), static_cast<int32_t>(m_sOutput.size()), 0xFFFD, nullptr, &status);
  if (U_FAILURE(status)) {
    reading.clear();
    return false;
  }
  reading.resize(static_cast<size_t>(lLength));
  KatakanaToHiragana(reading);
  return true;
}

IReverseConverter& DefaultReverseConverter() {
  static MecabReverseConverter converter;
  return converter;
}

}  // namespace ekoto
