// options.dat: any bytes load without harm, and what is saved after loading
// them loads back to the same file text.
#include "FuzzInput.h"
#include "StoredOptionsWindow.h"
#include "settings/COptions.h"
#include "settings/modLoadAndSaveOptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ekoto;
  COptions options;
  SetStartupDefaults(options, u"/opt/ekoto/bin/");
  testing::StoredOptionsWindow window;
  LoadOptionsFromText(fuzz::Text(data, size), options, window);
  const std::u16string saved = OptionsText(options, window);

  COptions reloaded;
  SetStartupDefaults(reloaded, u"/opt/ekoto/bin/");
  testing::StoredOptionsWindow reloadedWindow;
  LoadOptionsFromText(saved, reloaded, reloadedWindow);
  if (!(reloaded == options)) fuzz::Fail("saved options do not load back to the same record");
  if (OptionsText(reloaded, reloadedWindow) != saved) fuzz::Fail("saving twice gives different files");
  return 0;
}
