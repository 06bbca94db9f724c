// frmMain::ApplyOptions: the options record's display settings onto the window.
#include <QAction>
#include <QFrame>
#include <QGroupBox>

#include "ui/JapaneseFonts.h"
#include "ui/ReadTextBox.h"
#include "ui/frmMain.h"

namespace ekoto {

void frmMain::ApplyOptions(const COptions& options) {
  mnuProperty_Mute->setChecked(options.bMute);
  txtReadText->setFont(ReadingTextFont(options));
  fraPlay->setVisible(options.bPlaybar);
  fraVolume->setVisible(options.bVolumebar);
  fraSpeed->setVisible(options.bSpeedbar);
  mnuView_Playbar->setChecked(options.bPlaybar);
  mnuView_Volumebar->setChecked(options.bVolumebar);
  mnuView_Speedbar->setChecked(options.bSpeedbar);
}

}  // namespace ekoto
