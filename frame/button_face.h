#pragma once
// The face of a toolbar button, from an image of the library's resources at
// the size of a toolbar button at the screen's resolution (16 pixels at 100 %,
// 24 at 150 %): Picture and Mask as picture objects, or, in hosts of version
// 9.0 and when those fail, blended over the button-face colour and pasted from
// the clipboard, whose contents are put back afterwards.
#include <string>

#include "platform/win32/dispatch_object.h"

namespace trelvo::frame {

void SetButtonFace(const win32::DispatchObject& button, int glyph, const std::string& host_version);

}  // namespace trelvo::frame
