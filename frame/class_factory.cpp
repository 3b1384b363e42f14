#include "frame/class_factory.h"

#include "Trelvo_h.h"
#include "frame/com_boundary.h"
#include "frame/trelvo_co_class.h"

namespace trelvo::frame {

HRESULT TrelvoClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  return GuardComCall(CLSID_TrelvoCoClass, [&] { return MakeComObject<TrelvoCoClass>()->QueryInterface(iid, object); });
}

HRESULT TrelvoClassFactory::LockServer(BOOL lock) {
  frame::LockServer(lock != FALSE);
  return S_OK;
}

}  // namespace trelvo::frame
