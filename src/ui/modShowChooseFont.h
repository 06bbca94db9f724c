// modShowChooseFont: the font chooser of the options dialog, Qt's font dialog
// with the program's rules for what comes back.
#pragma once
#include <QFont>
#include <functional>
#include <optional>

class QWidget;

namespace ekoto {

// Shows a font dialog starting at initial; the font chosen, or std::nullopt on cancel.
using ChooseFontRunner = std::function<std::optional<QFont>(const QFont& initial, QWidget* owner)>;

// Replaces Qt's font dialog, for tests that answer it; a null runner restores it.
void SetChooseFontRunner(ChooseFontRunner runner);

// Lets the user choose a font, starting from font. On confirm returns true and
// font takes the chosen face, size (as chosen, fractions kept), italic,
// underline and strikethrough; it is bold only when the chosen weight is
// exactly Bold (700), so a DemiBold 600 or a Black 900 face comes back plain.
// On cancel returns false and font is untouched.
bool ShowChooseFont(QFont& font, QWidget* owner);

}  // namespace ekoto
