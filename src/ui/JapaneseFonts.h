// Japanese text must never show as boxes: the Windows face names that options.dat
// carries ("ＭＳ Ｐゴシック" by default) are mapped onto an installed Japanese face.
#pragma once
#include <QFont>
#include <QString>

#include "settings/COptions.h"

namespace ekoto {

// The installed face Japanese text falls back to ("Noto Sans CJK JP" when present).
QString JapaneseFallbackFace();

// Maps the Windows Japanese faces onto the fallback face and adds the fallback
// face behind the application's font. Call once, after QApplication exists.
void InstallJapaneseFontFallback();

// The reading text font of the options. Its family stays sFontName; a face that
// is not installed, or lacks a glyph, falls back to the Japanese face.
QFont ReadingTextFont(const COptions& options);

}  // namespace ekoto
