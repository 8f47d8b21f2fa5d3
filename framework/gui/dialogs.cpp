#include "framework/gui/dialogs.h"

#include "framework/gui/services.h"

namespace komp {

namespace {
template <class F>
bool Run(TOpenDialog& d, F&& show) {
  TFileDialogSpec spec{d.Title, d.Filter, d.DefaultExt, d.InitialDir, d.FileName, {}, d.SystemInitialDir,
                       d.FilterIndex};
  if (!show(spec)) return false;
  d.FileName = spec.FileName;
  d.FilterIndex = spec.FilterIndex;
  d.SystemFileName = spec.SystemFileName;
  return true;
}
}  // namespace

bool TOpenDialog::Execute() {
  return Run(*this, [](TFileDialogSpec& s) { return Services().FileDialogs->Open(s); });
}

bool TSaveDialog::Execute() {
  return Run(*this, [](TFileDialogSpec& s) { return Services().FileDialogs->Save(s); });
}

}  // namespace komp
