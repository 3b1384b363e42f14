#include "ribbon/ribbon_kinds.h"

#include <array>

namespace trelvo::ribbon {
namespace {

constexpr std::array<std::string_view, kRibbonKindCount> kRibbonIds = {
    "Microsoft.Access.Database",
    "Microsoft.Excel.Workbook",
    "Microsoft.PowerPoint.Presentation",
    "Microsoft.Word.Document",
    "Microsoft.Outlook.Mail.Read",
    "Microsoft.Outlook.Mail.Compose",
    "Microsoft.Outlook.MeetingRequest.Read",
    "Microsoft.Outlook.MeetingRequest.Send",
    "Microsoft.Outlook.Appointment",
    "Microsoft.Outlook.Contact",
    "Microsoft.Outlook.Journal",
    "Microsoft.Outlook.Task",
    "Microsoft.Outlook.DistributionList",
    "Microsoft.Outlook.Report",
    "Microsoft.Outlook.Resend",
    "Microsoft.Outlook.Response.Read",
    "Microsoft.Outlook.Response.Compose",
    "Microsoft.Outlook.Response.CounterPropose",
    "Microsoft.Outlook.RSS",
    "Microsoft.Outlook.Post.Read",
    "Microsoft.Outlook.Post.Compose",
    "Microsoft.Outlook.Sharing.Read",
    "Microsoft.Outlook.Sharing.Compose",
};

}  // namespace

std::string_view RibbonId(RibbonKind kind) { return kRibbonIds[static_cast<size_t>(kind)]; }

bool RibbonMatches(Ribbons ribbons, std::string_view ribbon_id) {
  if (ribbon_id == "DynamicMenu") return true;
  for (int kind = 0; kind < kRibbonKindCount; ++kind)
    if (ribbons.Has(static_cast<RibbonKind>(kind)) && kRibbonIds[kind] == ribbon_id) return true;
  return false;
}

}  // namespace trelvo::ribbon
