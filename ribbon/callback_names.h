#pragma once
// The ribbon callbacks that the markup names and the host calls by name, each
// with its fixed dispatch number.
#include <optional>
#include <string_view>

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

// "GetLabel_Callback".
std::string_view CallbackName(Callback callback);
// The callback of this name, compared exactly and with case.
std::optional<Callback> FindCallback(std::string_view name);
// The callback of this dispatch number.
std::optional<Callback> CallbackOfNumber(long number);

}  // namespace trelvo::ribbon
