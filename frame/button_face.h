#pragma once
// The face of a toolbar button, from a 16 x 16 glyph in the library's
// resources whose bottom-left pixel gives the transparent colour: Picture and
// Mask as picture objects, or, in hosts of version 9.0 and when those fail,
// pasted from the clipboard, whose contents are put back afterwards.
#include <string>

#include "platform/win32/dispatch_object.h"

namespace trelvo::frame {

void SetButtonFace(const win32::DispatchObject& button, int glyph, const std::string& host_version);

}  // namespace trelvo::frame
