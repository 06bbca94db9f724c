// The two settings that options_saver writes in turn, and that the kill test
// expects to find whole. They differ in length, so a file cut short or mixed
// from both is told apart from either.
#pragma once
#include "StoredOptionsWindow.h"
#include "settings/COptions.h"

namespace ekoto::testing {

struct SavedSettings {
  COptions options;
  StoredOptionsWindow window;
};

inline SavedSettings SaverContents(bool second) {
  SavedSettings s;
  SetStartupDefaults(s.options, u"/opt/ekoto/bin/");
  if (second) {
    s.options.bMute = true;
    s.options.sPAPath = u"/home/ユーザー/声のファイル/とても長い名前の声のファイル/もう一段深いところ/50on.pa";
    s.options.sFontName = u"Noto Sans CJK JP";
    s.options.nFontSize = 24;
    s.window.volume = 2.5f;
    s.window.left = -1200;
  }
  return s;
}

}  // namespace ekoto::testing
