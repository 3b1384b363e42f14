#include "dialogs/win32/dialog_layout.h"

#include <algorithm>
#include <commctrl.h>
#include <cstring>
#include <map>

#include "dialogs/win32/dialog_window.h"
#include "platform/error.h"
#include "platform/win32/com_module.h"
#include "platform/win32/dpi.h"

namespace trelvo::dialogs::win32 {
namespace {

// Reads a template's bytes in order: words, double words, texts and the
// name-or-ordinal fields, never past its end.
class TemplateReader {
 public:
  TemplateReader(const BYTE* bytes, size_t size) : bytes_(bytes), size_(size) {}

  WORD Word() { return Read<WORD>(); }
  DWORD DoubleWord() { return Read<DWORD>(); }
  short Short() { return Read<short>(); }
  BYTE Byte() { return Read<BYTE>(); }
  std::wstring Text() {
    std::wstring text;
    for (WORD c = Word(); c != 0; c = Word()) text += static_cast<wchar_t>(c);
    return text;
  }
  // A name or an ordinal (0xFFFF and a number), or nothing (a single 0):
  // the name, or the ordinal as "#" and its number.
  std::wstring NameOrOrdinal() {
    const WORD first = Word();
    if (first == 0xFFFF) return L"#" + std::to_wstring(Word());
    std::wstring name;
    for (WORD c = first; c != 0; c = Word()) name += static_cast<wchar_t>(c);
    return name;
  }
  void Skip(size_t count) { Need(count), offset_ += count; }
  void AlignToDoubleWord() { offset_ = std::min(size_, (offset_ + 3) & ~size_t{3}); }
  bool AtEnd() const { return offset_ >= size_; }

 private:
  void Need(size_t count) const {
    if (offset_ + count > size_) throw Error("Eine Dialogvorlage ist unvollständig.");
  }
  template <class Value>
  Value Read() {
    Need(sizeof(Value));
    Value value;
    std::memcpy(&value, bytes_ + offset_, sizeof value);
    offset_ += sizeof value;
    return value;
  }

  const BYTE* bytes_;
  size_t size_;
  size_t offset_ = 0;
};

RECT UnitsRect(short x, short y, short cx, short cy) { return RECT{x, y, x + cx, y + cy}; }

// The children of the dialog by id, each id's in the order they were made
// (the template's), so that ids that several controls share (-1) pair up too.
std::map<int, std::vector<HWND>> ChildrenById(HWND dialog) {
  std::map<int, std::vector<HWND>> children;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    children[static_cast<int>(static_cast<short>(GetDlgCtrlID(child)))].push_back(child);
  return children;
}

// A control's class as the template names it: the predefined classes by
// their ordinals, the others by name; in lower case, as class names compare.
std::wstring ClassName(const std::wstring& name_or_ordinal) {
  static const std::pair<const wchar_t*, const wchar_t*> kPredefined[] = {
      {L"#128", L"button"},  {L"#129", L"edit"},      {L"#130", L"static"},
      {L"#131", L"listbox"}, {L"#132", L"scrollbar"}, {L"#133", L"combobox"}};
  for (const auto& [ordinal, name] : kPredefined)
    if (name_or_ordinal == ordinal) return name;
  std::wstring lower = name_or_ordinal;
  for (wchar_t& c : lower)
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  return lower;
}

}  // namespace

DialogTemplate ReadDialogTemplate(int template_id) {
  const HMODULE module = trelvo::win32::ModuleHandle();
  const HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(template_id), RT_DIALOG);
  const HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
  const auto* bytes = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
  if (!bytes) throw Error("Eine Dialogvorlage fehlt (" + std::to_string(template_id) + ").");
  TemplateReader reader(bytes, SizeofResource(module, resource));

  DialogTemplate dialog;
  if (reader.Word() != 1 || reader.Word() != 0xFFFF) throw Error("Eine Dialogvorlage ist keine erweiterte (DIALOGEX).");
  reader.DoubleWord();  // help id
  reader.DoubleWord();  // extended style
  const DWORD style = reader.DoubleWord();
  const WORD count = reader.Word();
  reader.Short();  // x and y: the dialog manager places the dialog
  reader.Short();
  dialog.units.cx = reader.Short();
  dialog.units.cy = reader.Short();
  reader.NameOrOrdinal();  // menu
  reader.NameOrOrdinal();  // window class
  reader.Text();           // caption
  if (!(style & DS_SETFONT)) throw Error("Eine Dialogvorlage nennt keine Schrift.");
  dialog.point_size = reader.Word();
  dialog.weight = reader.Word();
  dialog.italic = reader.Byte() != 0;
  dialog.charset = reader.Byte();
  dialog.face = reader.Text();
  for (WORD i = 0; i < count; ++i) {
    reader.AlignToDoubleWord();
    reader.DoubleWord();  // help id
    reader.DoubleWord();  // extended style
    reader.DoubleWord();  // style
    const short x = reader.Short(), y = reader.Short(), cx = reader.Short(), cy = reader.Short();
    const int id = static_cast<int>(static_cast<short>(LOWORD(reader.DoubleWord())));
    const std::wstring class_name = ClassName(reader.NameOrOrdinal());
    reader.NameOrOrdinal();      // title
    reader.Skip(reader.Word());  // creation data
    dialog.controls.push_back({id, UnitsRect(x, y, cx, cy), class_name});
  }
  return dialog;
}

RECT DialogUnits::Pixels(const RECT& units) const {
  // A unit across is a quarter of the letters' average, their width / (52 * 4);
  // a unit down an eighth of the line; each at 96 dpi, grown by dpi / 96.
  const int across = letters * static_cast<int>(dpi), down = line * static_cast<int>(dpi);
  return RECT{MulDiv(units.left, across, 208 * 96), MulDiv(units.top, down, 8 * 96),
              MulDiv(units.right, across, 208 * 96), MulDiv(units.bottom, down, 8 * 96)};
}

DialogUnits MeasureDialogUnits(HFONT font) {
  const trelvo::win32::ScreenDc screen;
  const HGDIOBJ previous = SelectObject(screen.get(), font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(screen.get(), &metrics);
  static constexpr wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  SIZE letters{};
  GetTextExtentPoint32W(screen.get(), kLetters, 52, &letters);
  SelectObject(screen.get(), previous);
  return DialogUnits{static_cast<int>(letters.cx), static_cast<int>(metrics.tmHeight)};
}

DialogLayout::DialogLayout(int template_id)
    : template_(ReadDialogTemplate(template_id)), units_at_96_(MeasureDialogUnits(MakeFont(96).get())) {}

DialogUnits DialogLayout::UnitsAt(unsigned dpi) const {
  DialogUnits units = units_at_96_;
  units.dpi = dpi;
  return units;
}

trelvo::win32::UniqueFont DialogLayout::MakeFont(unsigned dpi) const {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(template_.point_size, static_cast<int>(dpi), 72);
  font.lfWeight = template_.weight;
  font.lfItalic = template_.italic;
  font.lfCharSet = template_.charset;
  font.lfQuality = DEFAULT_QUALITY;
  template_.face.copy(font.lfFaceName, LF_FACESIZE - 1);
  trelvo::win32::UniqueFont made(CreateFontIndirectW(&font));
  if (!made) throw Error("Die Schrift eines Dialogs kann nicht angelegt werden.");
  return made;
}

SIZE DialogLayout::ClientSize(unsigned dpi) const {
  const RECT client = UnitsAt(dpi).Pixels(RECT{0, 0, template_.units.cx, template_.units.cy});
  return SIZE{client.right, client.bottom};
}

SIZE DialogLayout::WindowSize(HWND dialog, unsigned dpi) const {
  const SIZE client = ClientSize(dpi);
  const RECT window = trelvo::win32::WindowRectForClient(
      RECT{0, 0, client.cx, client.cy}, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)),
      static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)), dpi);
  return SIZE{window.right - window.left, window.bottom - window.top};
}

void DialogLayout::Apply(HWND dialog, unsigned dpi) {
  trelvo::win32::UniqueFont font = MakeFont(dpi);
  const DialogUnits units = UnitsAt(dpi);
  auto children = ChildrenById(dialog);
  std::map<int, size_t> used;
  std::vector<HWND> spins;
  for (const TemplateControl& control : template_.controls) {
    const auto found = children.find(control.id);
    if (found == children.end() || used[control.id] >= found->second.size()) continue;
    const HWND child = found->second[used[control.id]++];
    const RECT place = units.Pixels(control.units);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    // A drop-down list's height in the template is its open list's.
    SetWindowPos(child, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (control.class_name == L"listbox" && (GetWindowLongPtrW(child, GWL_STYLE) & WS_HSCROLL)) FitListWidth(child);
    if (control.class_name == L"msctls_updown32") spins.push_back(child);
  }
  // A spin button joined to its field takes its place beside the field's new size.
  for (const HWND spin : spins)
    if (const auto buddy = reinterpret_cast<HWND>(SendMessageW(spin, UDM_GETBUDDY, 0, 0)))
      SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
  SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);

  // The client area as the template's, the frame as the window has it now.
  const SIZE client = ClientSize(dpi);
  RECT window{}, inside{};
  GetWindowRect(dialog, &window);
  GetClientRect(dialog, &inside);
  SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left - inside.right + client.cx,
               window.bottom - window.top - inside.bottom + client.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  // The controls took the new font: the old one may go.
  font_ = std::move(font);
  dpi_ = dpi;
}

void FitListWidth(HWND list) {
  const auto font = reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0));
  const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  int widest = 0;
  for (int i = 0; i < count; ++i) {
    const auto length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    if (length <= 0) continue;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    widest = std::max(widest, TextWidth(list, font, text));
  }
  // The margins that a list box leaves beside its entries: two spaces' width.
  const int margin = TextWidth(list, font, L"  ");
  SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest > 0 ? widest + margin : 0), 0);
}

}  // namespace trelvo::dialogs::win32
