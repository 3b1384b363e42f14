#include "ribbon/win32/host_ribbon_ui.h"

#include "platform/error.h"
#include "platform/win32/bstr.h"
#include "platform/win32/system_error.h"
#include "platform/win32/wide_text.h"

namespace trelvo::ribbon::win32 {

void HostRibbonUI::Invalidate() {
  const HRESULT hr = ui_->Invalidate();
  if (FAILED(hr)) throw Error("Das Menüband kann nicht neu aufgebaut werden. " + trelvo::win32::SystemMessage(hr));
}

void HostRibbonUI::InvalidateControl(const std::string& id) {
  const trelvo::win32::Bstr control_id(trelvo::win32::Widen(id));
  const HRESULT hr = ui_->InvalidateControl(control_id.get());
  if (FAILED(hr))
    throw Error("Das Steuerelement '" + id + "' des Menübands kann nicht neu aufgebaut werden. " +
                trelvo::win32::SystemMessage(hr));
}

}  // namespace trelvo::ribbon::win32
