#include "ribbon/callback_names.h"

#include <array>
#include <utility>

namespace trelvo::ribbon {
namespace {

constexpr std::array<std::pair<Callback, std::string_view>, 34> kCallbacks = {{
    {Callback::RibbonLoaded, "RibbonLoaded_Callback"},
    {Callback::GetImages, "GetImages_Callback"},
    {Callback::GetVisible, "GetVisible_Callback"},
    {Callback::GetKeyTip, "GetKeyTip_Callback"},
    {Callback::GetLabel, "GetLabel_Callback"},
    {Callback::GetEnabled, "GetEnabled_Callback"},
    {Callback::GetPressed, "GetPressed_Callback"},
    {Callback::GetImage, "GetImage_Callback"},
    {Callback::GetSuperTip, "GetSuperTip_Callback"},
    {Callback::GetScreenTip, "GetScreenTip_Callback"},
    {Callback::GetSize, "GetSize_Callback"},
    {Callback::GetShowLabel, "GetShowLabel_Callback"},
    {Callback::GetShowImage, "GetShowImage_Callback"},
    {Callback::GetDescription, "GetDescription_Callback"},
    {Callback::GetText, "GetText_Callback"},
    {Callback::GetItemCount, "GetItemCount_Callback"},
    {Callback::GetItemId, "GetItemID_Callback"},
    {Callback::GetItemImage, "GetItemImage_Callback"},
    {Callback::GetItemLabel, "GetItemLabel_Callback"},
    {Callback::GetItemScreenTip, "GetItemScreenTip_Callback"},
    {Callback::GetItemSuperTip, "GetItemSuperTip_Callback"},
    {Callback::GetShowItemImage, "GetShowItemImage_Callback"},
    {Callback::GetSelectedItemIndex, "GetSelectedItemIndex_Callback"},
    {Callback::GetSelectedItemId, "GetSelectedItemId_Callback"},
    {Callback::GetItemHeight, "GetItemHeight_Callback"},
    {Callback::GetItemWidth, "GetItemWidth_Callback"},
    {Callback::GetContent, "GetContent_Callback"},
    {Callback::GetTitle, "GetTitle_Callback"},
    {Callback::OnActionCommon, "OnActionCommon_Callback"},
    {Callback::OnActionCommonRepurposed, "OnActionCommonRepurposed_Callback"},
    {Callback::OnActionState, "OnActionState_Callback"},
    {Callback::OnActionStateRepurposed, "OnActionStateRepurposed_Callback"},
    {Callback::OnActionSelected, "OnActionSelected_Callback"},
    {Callback::OnChange, "OnChange_Callback"},
}};

}  // namespace

std::string_view CallbackName(Callback callback) {
  for (const auto& [entry, name] : kCallbacks)
    if (entry == callback) return name;
  return {};
}

std::optional<Callback> FindCallback(std::string_view name) {
  for (const auto& [callback, entry] : kCallbacks)
    if (entry == name) return callback;
  return std::nullopt;
}

std::optional<Callback> CallbackOfNumber(long number) {
  for (const auto& [callback, name] : kCallbacks)
    if (static_cast<long>(callback) == number) return callback;
  return std::nullopt;
}

}  // namespace trelvo::ribbon
