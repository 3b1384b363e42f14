#pragma once
// The class factory of TrelvoCoClass, handed out by DllGetClassObject.
#include <windows.h>
#include <unknwn.h>

#include "frame/com_object.h"

namespace trelvo::frame {

class TrelvoClassFactory : public ComObject<IClassFactory> {
 public:
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;
};

}  // namespace trelvo::frame
