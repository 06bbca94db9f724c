#include "conversion/MecabReverseConverter.h"

#include <mecab.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>

#include <array>
#include <cstring>
#include <cstdio>
#include <strings.h>
#include <string_view>
#include <utility>

#include "conversion/PronunciationRules.h"
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

// Fields of an IPA dictionary entry: part of speech and two subclasses, then
// (after conjugation and base form) the reading and the pronunciation, both in
// katakana. Unknown words have only seven fields.
constexpr int kPartOfSpeechField = 0;
constexpr int kSubclass1Field = 1;
constexpr int kSubclass2Field = 2;
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

// Appends UTF-8 text s to out as UTF-16; ill-formed bytes become U+FFFD. Never
// more units than s has bytes. MeCab hands back slices of valid input, so this
// is the whole decoder needed here, without a library call per field.
void AppendUtf8(std::u16string& out, std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    const size_t n = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
    bool bValid = n != 0 && i + n <= s.size();
    char32_t c = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
    for (size_t k = 1; bValid && k < n; ++k) {
      const auto t = static_cast<unsigned char>(s[i + k]);
      bValid = (t & 0xC0) == 0x80;
      c = (c << 6) | (t & 0x3F);
    }
    if (!bValid) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
    i += n;
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
    sDir = FindMecabDicDir();
    if (sDir.empty()) {
      std::string sLooked;
      for (const char* dir : kKnownDicDirs) sLooked += sLooked.empty() ? dir : std::string(", ") + dir;
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

bool MecabReverseConverter::ParseChunk(std::string_view sChunk, std::u16string& reading) {
  m_lattice->set_sentence(sChunk.data(), sChunk.size());
  if (!m_tagger->parse(m_lattice.get())) return false;
  const char* input = sChunk.data();

  // The words' fields are decoded into one buffer that is sized first, so that
  // the views into it stay valid while it fills.
  size_t nBytes = sChunk.size();
  for (const MeCab::Node* node = m_lattice->bos_node(); node; node = node->next) nBytes += std::strlen(node->feature);
  m_sFields.clear();
  m_sFields.reserve(nBytes);
  const auto decode = [this](std::string_view s) {
    const size_t from = m_sFields.size();
    AppendUtf8(m_sFields, s);
    return std::u16string_view(m_sFields.data() + from, m_sFields.size() - from);
  };

  m_words.clear();
  size_t pos = 0;
  for (const MeCab::Node* node = m_lattice->bos_node(); node; node = node->next) {
    if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE) continue;
    const auto offset = static_cast<size_t>(node->surface - input);
    // Whatever MeCab skips between words (spaces) is kept as it stands.
    if (offset > pos) m_words.push_back({.surface = decode(std::string_view(input + pos, offset - pos))});
    m_words.push_back({
        .surface = decode(std::string_view(node->surface, node->length)),
        .partOfSpeech = decode(FeatureField(node->feature, kPartOfSpeechField)),
        .subclass1 = decode(FeatureField(node->feature, kSubclass1Field)),
        .subclass2 = decode(FeatureField(node->feature, kSubclass2Field)),
        .reading = decode(FeatureField(node->feature, kReadingField)),
        .pronunciation = decode(FeatureField(node->feature, kPronunciationField)),
    });
    pos = offset + node->length;
  }
  if (pos < sChunk.size()) m_words.push_back({.surface = decode(sChunk.substr(pos))});
  AppendPronunciation(m_words, reading, &m_unknownWords);
  return true;
}

bool MecabReverseConverter::ReverseConvert(const std::u16string& piece, std::u16string& reading) {
  if (piece.empty() || !EnsureLoaded() || !Normalize(piece)) return false;

  reading.clear();
  const std::string_view sInput = m_sInput;
  for (size_t pos = 0; pos < sInput.size();) {
    const size_t lChunk = ChunkLength(sInput.substr(pos));
    if (!ParseChunk(sInput.substr(pos, lChunk), reading)) {
      reading.clear();
      return false;
    }
    pos += lChunk;
  }
  return true;
}

std::string FindMecabDicDir() {
  for (const char* dir : kKnownDicDirs) {
    if (IsDicDir(dir)) return dir;
  }
  return {};
}

IReverseConverter& DefaultReverseConverter() {
  static MecabReverseConverter converter;
  return converter;
}

}  // namespace ekoto
