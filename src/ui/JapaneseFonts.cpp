#include "ui/JapaneseFonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QStringList>

namespace ekoto {
namespace {

// Faces of Japanese Windows that options.dat files name.
const char16_t* const kWindowsJapaneseFaces[] = {
    u"ＭＳ Ｐゴシック", u"ＭＳ ゴシック", u"ＭＳ Ｐ明朝", u"ＭＳ 明朝", u"MS PGothic", u"MS Gothic",
    u"MS UI Gothic", u"Meiryo", u"メイリオ", u"Yu Gothic", u"游ゴシック",
};

}  // namespace

QString JapaneseFallbackFace() {
  for (const QString& face : {QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic"),
                              QStringLiteral("IPAGothic"), QStringLiteral("TakaoPGothic")}) {
    if (QFontDatabase::hasFamily(face)) return face;
  }
  return QStringLiteral("Noto Sans CJK JP");
}

void InstallJapaneseFontFallback() {
  const QString fallback = JapaneseFallbackFace();
  for (const char16_t* face : kWindowsJapaneseFaces) {
    QFont::insertSubstitution(QString::fromUtf16(face), fallback);
  }
  // Menus and captions are Japanese too; without this, Han characters could
  // come from a Chinese face.
  QFont font = QApplication::font();
  QStringList families = font.families();
  if (families.isEmpty()) families.append(font.family());
  if (!families.contains(fallback)) families.append(fallback);
  font.setFamilies(families);
  QApplication::setFont(font);
}

QFont ReadingTextFont(const COptions& options) {
  const QString face = QString::fromStdU16String(options.sFontName);
  const QString fallback = JapaneseFallbackFace();
  if (!face.isEmpty() && !QFontDatabase::hasFamily(face)) QFont::insertSubstitution(face, fallback);
  QFont font;
  font.setFamilies(face.isEmpty() ? QStringList{fallback} : QStringList{face, fallback});
  font.setPointSize(FontSizeInRange(options.nFontSize));
  font.setBold(options.bFontBold);
  font.setItalic(options.bFontItalic);
  font.setStrikeOut(options.bFontStrikethrough);
  font.setUnderline(options.bFontUnderline);
  return font;
}

}  // namespace ekoto
