#pragma once
// The Insert command: the next invoice number from the current counter file
// into the active cell (Excel), at the cursor of an unprotected document, or
// into the text form field "Sabu" of a form-protected one (Word); one
// usage-log record and the document property "SabuCounter" with it.
//
// The target is checked before anything is drawn, and the lock check and the
// draw are one atomic step of the engine: a click that cannot insert burns
// no number, and no message box stands while the counter file is locked.
#include <functional>

#include "commands/office_host.h"
#include "platform/environment.h"

namespace trelvo::commands {

inline constexpr char kNumberField[] = "Sabu";
inline constexpr char kNumberProperty[] = "SabuCounter";

// Errors of the host or of the usage log are thrown on (the frame's event
// delivery reports them); refusals that have been told end quietly. drawn is
// called once a number has been drawn, before it is delivered.
void ExecuteInsert(platform::Environment& env, OfficeHost& host, HostKind kind,
                   const std::function<void()>& drawn = {});

}  // namespace trelvo::commands
