#pragma once
// A dialog laid out for a screen resolution from its template. The template
// in the library's resources (resources/dialogs.rc) is the one place of the
// layout: every control's place and size in dialog units of the template's
// font. The units are measured in that font at 96 dpi, as Windows' dialog
// units are (a quarter of its letters' average width, an eighth of its line's
// height), and grow with the resolution, so that a dialog at 200 % is twice as
// large as at 100 %; the font is made at each resolution's own size in whole
// pixels (8 points: 11 pixels at 96 dpi, 21 at 192), which for the templates'
// font outgrows the units at no resolution more than at 96 dpi.
// Every control of the template is placed from its units and gets the font;
// the client area takes the template's size. A control added to the template
// needs nothing else. What goes beyond the template (fonts derived from the
// dialog's, a text's own width) each dialog does after the layout
// (DialogWindow::OnLayout).
#include <string>
#include <vector>
#include <windows.h>

#include "platform/win32/gdi_objects.h"

namespace trelvo::dialogs::win32 {

// A control as the template places it, in dialog units, with its window
// class (the predefined ones by name), in lower case.
struct TemplateControl {
  int id = 0;
  RECT units{};
  std::wstring class_name;
};

// A dialog template (DIALOGEX): its font, its client size in dialog units and its controls in order.
struct DialogTemplate {
  std::wstring face;
  int point_size = 8;
  int weight = FW_NORMAL;
  bool italic = false;
  BYTE charset = DEFAULT_CHARSET;
  SIZE units{};
  std::vector<TemplateControl> controls;
};

// Reads a template from the resources of the library; fails when it is
// missing or not an extended template with its font (DIALOGEX with FONT).
DialogTemplate ReadDialogTemplate(int template_id);

// The pixels of dialog units at a resolution: 4 units across are the average
// width of the font's letters at 96 dpi, 8 units down the height of its line
// there, both grown by dpi / 96. The average is kept unrounded (the width of
// all 52 letters).
struct DialogUnits {
  int letters = 0;  // the width of A to Z and a to z at 96 dpi
  int line = 0;     // the height of a line at 96 dpi
  unsigned dpi = 96;
  // A rectangle in units in pixels: its edges mapped, so that controls that
  // meet in the template meet in pixels, neither overlapping nor apart.
  RECT Pixels(const RECT& units) const;
};
// The units of a font made for 96 dpi.
DialogUnits MeasureDialogUnits(HFONT font);

class DialogLayout {
 public:
  explicit DialogLayout(int template_id);

  // Lays the dialog out for dpi: the font, every control of the template,
  // the client area. The window keeps its place (its top left corner); the
  // caller places it.
  void Apply(HWND dialog, unsigned dpi);
  // The size of the dialog's window at dpi, frame included.
  SIZE WindowSize(HWND dialog, unsigned dpi) const;

  unsigned dpi() const { return dpi_; }
  HFONT font() const { return font_.get(); }

 private:
  trelvo::win32::UniqueFont MakeFont(unsigned dpi) const;
  DialogUnits UnitsAt(unsigned dpi) const;
  SIZE ClientSize(unsigned dpi) const;

  DialogTemplate template_;
  DialogUnits units_at_96_;
  unsigned dpi_ = 0;
  trelvo::win32::UniqueFont font_;
};

// A list box's scrolling width: its widest entry in its font, so that a
// horizontal scroll bar reaches every entry's end.
void FitListWidth(HWND list);

}  // namespace trelvo::dialogs::win32
