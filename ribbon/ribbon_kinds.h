#pragma once
// The host ribbons a control is shown in: one kind per ribbon id that Office
// passes to GetCustomUI. A control is written into the markup for a ribbon id
// only when its set holds that id's kind.
#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace trelvo::ribbon {

enum class RibbonKind : uint8_t {
  AccessDatabase,
  ExcelWorkbook,
  PowerPointPresentation,
  WordDocument,
  OutlookMailRead,
  OutlookMailCompose,
  OutlookMeetingRequestRead,
  OutlookMeetingRequestSend,
  OutlookAppointment,
  OutlookContact,
  OutlookJournal,
  OutlookTask,
  OutlookDistributionList,
  OutlookReport,
  OutlookResend,
  OutlookResponseRead,
  OutlookResponseCompose,
  OutlookResponseCounterPropose,
  OutlookRSS,
  OutlookPostRead,
  OutlookPostCompose,
  OutlookSharingRead,
  OutlookSharingCompose,
};
inline constexpr int kRibbonKindCount = 23;

// The ribbon id of a kind, "Microsoft.Excel.Workbook".
std::string_view RibbonId(RibbonKind kind);

class Ribbons {
 public:
  constexpr Ribbons() = default;
  constexpr Ribbons(std::initializer_list<RibbonKind> kinds) {
    for (RibbonKind kind : kinds) bits_ |= Bit(kind);
  }
  constexpr bool Has(RibbonKind kind) const { return bits_ & Bit(kind); }
  constexpr bool empty() const { return bits_ == 0; }
  // Whether any Outlook kind is in the set.
  constexpr bool HasOutlook() const { return bits_ & ~0xFu; }
  constexpr bool operator==(const Ribbons&) const = default;

 private:
  static constexpr uint32_t Bit(RibbonKind kind) { return 1u << static_cast<int>(kind); }
  uint32_t bits_ = 0;
};

// What a new tab holds before the hosts are known: the first six kinds.
inline constexpr Ribbons kDefaultRibbons = {RibbonKind::AccessDatabase,         RibbonKind::ExcelWorkbook,
                                            RibbonKind::PowerPointPresentation, RibbonKind::WordDocument,
                                            RibbonKind::OutlookMailRead,        RibbonKind::OutlookMailCompose};

// "DynamicMenu" matches every set; any other id matches when it is, with
// case, the id of a kind in the set.
bool RibbonMatches(Ribbons ribbons, std::string_view ribbon_id);

}  // namespace trelvo::ribbon
