#pragma once
// The host's ribbon as the control model asks it to read controls again.
#include <string>
#include <windows.h>
#include <wrl/client.h>

#include "platform/win32/office_interfaces.h"
#include "ribbon/ribbon_controls.h"

namespace trelvo::ribbon::win32 {

class HostRibbonUI : public RibbonUI {
 public:
  explicit HostRibbonUI(Microsoft::WRL::ComPtr<IRibbonUI> ui) : ui_(std::move(ui)) {}
  // A failure that the host reports is thrown.
  void Invalidate() override;
  void InvalidateControl(const std::string& id) override;
  IRibbonUI* get() const { return ui_.Get(); }

 private:
  Microsoft::WRL::ComPtr<IRibbonUI> ui_;
};

}  // namespace trelvo::ribbon::win32
