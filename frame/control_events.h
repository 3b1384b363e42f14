#pragma once
// The events of one linked toolbar control, as a handler of the common event
// sink: the host raises Click (a button) or Change (a drop-down) on the
// control's connection point, for every control that carries the same tag.
// The handler passes on only events whose control carries its definition's
// tag, repairs a broken link from the event's control, ignores an event that
// re-enters itself, and reports the handler's errors instead of throwing.
#include <exception>
#include <functional>
#include <string>
#include <vector>
#include <windows.h>

#include "platform/win32/event_connection.h"

namespace trelvo::frame {

struct ControlEventCallbacks {
  // Whether the definition's link to its host control still works.
  std::function<bool()> link_works;
  // Links the definition to the event's control instead.
  std::function<void(IDispatch* control)> relink;
  std::function<void()> handle;
  // Must not throw; should it all the same, the error goes no further.
  std::function<void(const std::exception&)> report;
};

// control_type: the host's type of the control (1 button, 3 drop-down).
// The host's event interface for it, and its one event by name.
const IID& ControlEventInterface(long control_type);
std::vector<win32::EventName> ControlEventNames(long control_type);

win32::EventHandler ControlEventHandler(std::string tag, ControlEventCallbacks callbacks);

}  // namespace trelvo::frame
