#include "conversion/KakasiReader.h"

extern "C" {
#include <libkakasi.h>
}
#include <unicode/ucnv.h>

#include <array>
#include <memory>
#include <mutex>
#include <string>

namespace ekoto {
namespace {

// KAKASI takes and gives EUC-JP.
constexpr const char* kCharset = "EUC-JP";

struct ConverterCloser {
  void operator()(UConverter* p) const { ucnv_close(p); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// The one KAKASI of the process, set to turn kanji into hiragana.
struct Kakasi {
  std::mutex mutex;
  bool bReady = false;
  ConverterPtr converter;

  Kakasi() {
    std::array<const char*, 2> args = {"kakasi", "-JH"};
    UErrorCode status = U_ZERO_ERROR;
    converter.reset(ucnv_open(kCharset, &status));
    // A character EUC-JP lacks fails the word instead of reaching KAKASI as "?".
    if (U_SUCCESS(status))
      ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    bReady =
        U_SUCCESS(status) && kakasi_getopt_argv(static_cast<int>(args.size()), const_cast<char**>(args.data())) == 0;
  }
};

Kakasi& TheKakasi() {
  static Kakasi kakasi;
  return kakasi;
}

}  // namespace

bool KakasiReader::Read(std::u16string_view word, std::u16string& hiragana) {
  Kakasi& kakasi = TheKakasi();
  std::lock_guard lock(kakasi.mutex);
  if (!kakasi.bReady || word.empty()) return false;

  UErrorCode status = U_ZERO_ERROR;
  std::string sEuc(word.size() * 4 + 1, '\0');
  const int32_t lEuc =
      ucnv_fromUChars(kakasi.converter.get(), sEuc.data(), static_cast<int32_t>(sEuc.size()),
                      reinterpret_cast<const UChar*>(word.data()), static_cast<int32_t>(word.size()), &status);
  if (U_FAILURE(status)) return false;
  sEuc.resize(static_cast<size_t>(lEuc));

  char* said = kakasi_do(sEuc.data());
  if (!said) return false;
  const std::string sSaid(said);
  kakasi_free(said);

  hiragana.resize(sSaid.size() + 1);
  status = U_ZERO_ERROR;
  const int32_t lOut =
      ucnv_toUChars(kakasi.converter.get(), reinterpret_cast<UChar*>(hiragana.data()),
                    static_cast<int32_t>(hiragana.size()), sSaid.data(), static_cast<int32_t>(sSaid.size()), &status);
  if (U_FAILURE(status)) return false;
  hiragana.resize(static_cast<size_t>(lOut));
  // KAKASI passes a kanji it does not know through, or drops it.
  for (char16_t c : hiragana) {
    if (IsKanjiWord(std::u16string_view(&c, 1))) return false;
  }
  return !hiragana.empty();
}

}  // namespace ekoto
