// frmMain: the options dialog, loaded on demand and unloaded when it closes.
#include "ui/frmMain.h"
#include "ui/frmOptions.h"

namespace ekoto {

frmOptions* frmMain::OptionsForm() {
  if (!m_pOptionsForm) m_pOptionsForm = std::make_unique<frmOptions>(*this, this);
  return m_pOptionsForm.get();
}

void frmMain::mnuSystem_Options_Click() {
  OptionsForm()->exec();
  // OK, cancel or the close box: the next use fills it afresh.
  m_pOptionsForm.reset();
}

}  // namespace ekoto
