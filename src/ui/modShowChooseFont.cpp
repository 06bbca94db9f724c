// modShowChooseFont: Qt's font dialog and the copy of its choice.
#include "ui/modShowChooseFont.h"

#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <utility>

namespace ekoto {
namespace {

ChooseFontRunner& Runner() {
  static ChooseFontRunner runner;
  return runner;
}

std::optional<QFont> RunQtFontDialog(const QFont& initial, QWidget* owner) {
  // A Windows face named in options.dat is not installed here; the dialog
  // starts on the face that actually shows the text.
  QFont shown = initial;
  if (!QFontDatabase::hasFamily(initial.family())) shown.setFamily(QFontInfo(initial).family());
  QFontDialog dialog(shown, owner);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  QFont chosen = dialog.selectedFont();
  // Confirmed on the face it started on, no face was chosen: the name that
  // face stands in for is kept.
  if (chosen.family() == shown.family()) chosen.setFamily(initial.family());
  return chosen;
}

}  // namespace

void SetChooseFontRunner(ChooseFontRunner runner) { Runner() = std::move(runner); }

bool ShowChooseFont(QFont& font, QWidget* owner) {
  const std::optional<QFont> chosen = Runner() ? Runner()(font, owner) : RunQtFontDialog(font, owner);
  if (!chosen) return false;
  font.setBold(chosen->weight() == QFont::Bold);
  font.setItalic(chosen->italic());
  font.setFamily(chosen->family());
  if (chosen->pointSizeF() > 0) font.setPointSizeF(chosen->pointSizeF());
  font.setStrikeOut(chosen->strikeOut());
  font.setUnderline(chosen->underline());
  return true;
}

}  // namespace ekoto
