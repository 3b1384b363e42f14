#pragma once
// The ribbon callbacks: each with the name the markup gives it, its fixed
// dispatch number, the arguments the host passes after the control, and the
// answer it gives from the control found by id (or its answer when the id
// names no control). One table drives name resolution and invocation.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "ribbon/ribbon_controls.h"

namespace trelvo::ribbon {

enum class Callback {
  RibbonLoaded = 10,
  GetImages = 11,
  GetVisible = 12,
  GetKeyTip = 13,
  GetLabel = 14,
  GetEnabled = 15,
  GetPressed = 16,
  GetImage = 17,
  GetSuperTip = 19,
  GetScreenTip = 20,
  GetSize = 21,
  GetShowLabel = 22,
  GetShowImage = 23,
  GetDescription = 24,
  GetText = 25,
  GetItemCount = 26,
  GetItemId = 27,
  GetItemImage = 28,
  GetItemLabel = 29,
  GetItemScreenTip = 30,
  GetItemSuperTip = 31,
  GetShowItemImage = 32,
  GetSelectedItemIndex = 33,
  GetSelectedItemId = 34,
  GetItemHeight = 35,
  GetItemWidth = 36,
  GetContent = 37,
  GetTitle = 38,
  OnActionCommon = 50,
  OnActionCommonRepurposed = 51,
  OnActionState = 52,
  OnActionStateRepurposed = 53,
  OnActionSelected = 54,
  OnChange = 55,
};

// What the host passes: first the control (or the ribbon, or an image name),
// then these.
enum class Parameters {
  RibbonUI,       // the host's ribbon instead of a control
  ImageName,      // an image name instead of a control
  None,           //
  Index,          // an item index
  Pressed,        // the pressed state
  Cancel,         // a cancel flag, in and out
  PressedCancel,  // the pressed state, a cancel flag
  Selection,      // the selected item's id and index
  Text,           // a text
};

// A picture: an image of the resources, as a bitmap or (for items) as an
// icon, at the size in pixels that it is drawn at (resources/image_sizes.h).
struct Picture {
  int glyph = 0;
  bool icon = false;
  int size = 0;
  bool operator==(const Picture&) const = default;
};

// A callback's result: none, a boolean, a number, a text or a picture.
using Answer = std::variant<std::monostate, bool, int32_t, std::string, Picture>;

// What the host passed besides the control, and the screen's resolution
// that the host draws the ribbon for at the moment (dots per inch), which
// decides the size of the pictures.
struct CallbackArguments {
  std::string control_id{};  // or the image name
  int32_t index = 0;
  ActionArguments action{};
  unsigned dpi = 96;
};

struct CallbackDefinition {
  Callback callback;
  std::string_view name;
  Parameters parameters;
  bool is_action;
  // The answer from the control found, which is nullptr when none is.
  Answer (*answer)(RibbonControl* found, const CallbackArguments& arguments);
};

std::string_view CallbackName(Callback callback);
// The callback of this name, compared exactly and with case.
const CallbackDefinition* FindCallback(std::string_view name);
// The callback of this dispatch number.
const CallbackDefinition* CallbackOfNumber(long number);

// Answers a callback: finds the control by id (ribbon may be nullptr: none
// is found) and answers from it, or runs its action. An exception of the
// action's handler goes to handler_failed; any other one is thrown on, as is
// an item index outside the items.
Answer AnswerCallback(const Ribbon* ribbon, const CallbackDefinition& definition, const CallbackArguments& arguments,
                      const std::function<void(const std::exception&)>& handler_failed);

}  // namespace trelvo::ribbon
