#include "platform/win32/com_boundary.h"

#include <oleauto.h>
#include <wrl/client.h>

#include "platform/win32/bstr.h"
#include "platform/win32/com_module.h"
#include "platform/win32/wide_text.h"

namespace trelvo::win32 {

HRESULT ReportComError(REFGUID source, HRESULT code, const std::string& description) noexcept {
  try {
    Microsoft::WRL::ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(CreateErrorInfo(&create))) {
      create->SetGUID(source);
      Bstr module(ErrorSource());
      create->SetSource(module.get());
      Bstr text(Widen(description));
      create->SetDescription(text.get());
      Microsoft::WRL::ComPtr<IErrorInfo> info;
      if (SUCCEEDED(create.As(&info))) SetErrorInfo(0, info.Get());
    }
  } catch (...) {
    // The failure code alone still reaches the caller.
  }
  return code;
}

}  // namespace trelvo::win32
