#pragma once
// The ribbon callbacks as the host calls them: late-bound through the add-in
// object's IDispatch, after its automation interface has declined the name or
// number. The host passes its IRibbonControl first and the further arguments
// after it, in rgvarg from last to first.
#include <exception>
#include <functional>
#include <memory>
#include <windows.h>

#include "ribbon/ribbon_controls.h"
#include "ribbon/win32/host_ribbon_ui.h"

namespace trelvo::ribbon::win32 {

// Resolves the first name, as 8-bit text (a character above 255 ends it, at
// most 255 characters), compared with case. Without a match every id is
// DISPID_UNKNOWN and automation_error is returned. The further names (named
// parameters) stay DISPID_UNKNOWN: with any of them the answer is
// DISP_E_UNKNOWNNAME, the callback's id set all the same.
HRESULT ResolveCallbackNames(LPOLESTR* names, UINT count, DISPID* ids, HRESULT automation_error);

struct RibbonEvents {
  // The host's ribbon has loaded; the ribbon keeps it already.
  std::function<void(const std::shared_ptr<HostRibbonUI>&)> loaded;
  // A handler failed: reported, and the callback ends normally.
  std::function<void(const std::exception&)> handler_failed;
};

// Runs callback number on ribbon (nullptr: no control is found). A number
// outside the callbacks returns automation_error; an exception inside one
// (other than a handler's) returns DISP_E_EXCEPTION with its description.
HRESULT InvokeCallback(Ribbon* ribbon, DISPID number, const DISPPARAMS* parameters, VARIANT* result,
                       EXCEPINFO* exception, const RibbonEvents& events, HRESULT automation_error);

}  // namespace trelvo::ribbon::win32
