// The 16 × 16 pictures of the five player buttons: the desktop theme's media
// icons where it has them, Qt's own media icons otherwise, and two drawn here
// for the commands no theme names (slow play, play from the caret).
#pragma once
#include <QIcon>

class QStyle;

namespace ekoto {

enum class PlayerIcon { kStop, kPause, kPlay, kCaretPlay, kSlowPlay };

QIcon PlayerButtonIcon(PlayerIcon kind, const QStyle& style);

}  // namespace ekoto
