#pragma once
// The command bars of a simulated host: toolbars, their controls (buttons,
// edits, drop-downs, combo boxes, pop-ups) and the controls' Click and Change
// events. Bars and controls that are not temporary persist from one run of
// the simulated host to the next (Restart), as Office keeps them.
#include <functional>
#include <optional>
#include <vector>

#include "platform/win32/office_interfaces.h"
#include "simoffice/sim_object.h"

namespace trelvo::simoffice {

class SimCommandBar;
class SimCommandBars;

class SimCommandBarControl : public SimObject {
 public:
  SimCommandBarControl(SimCommandBars& bars, SimCommandBar& bar, long type, long id, bool temporary);

  // What a user does: a click on a button, a choice in a list or a typed text.
  // The event reaches the sinks of every control with the same tag (Office
  // raises control events per tag: see CommandBarControl.Tag in Office's
  // documentation, "define the Tag property unique to the events").
  void Click();
  void Choose(long list_index);
  void EnterText(const std::string& text);

  long type() const { return type_; }
  long id() const { return id_; }
  bool temporary() const { return temporary_; }
  bool deleted() const { return deleted_; }
  // Any use of a deleted control or toolbar fails, as in Office.
  void CheckUsable() const override;
  void OnPropertyWritten() override;
  const std::string& tag() const { return tag_; }
  const std::string& caption() const { return caption_; }
  bool enabled() const { return enabled_; }
  const std::vector<std::string>& items() const { return items_; }
  long list_index() const { return list_index_; }
  const std::string& text() const { return text_; }
  SimCommandBar* parent() const { return bar_; }
  // The bar of a pop-up's own controls.
  SimCommandBar* popup_bar() const { return popup_.Get(); }
  bool has_picture() const { return picture_ != nullptr; }
  int pastes() const { return pastes_; }

  bool visible() const { return visible_; }
  void set_parameter(const std::string& parameter) { parameter_ = parameter; }
  void set_parent(SimCommandBar& bar) { bar_ = &bar; }
  void MarkDeleted() { deleted_ = true; }
  void SetCaptionByUser(const std::string& caption) { caption_ = caption; }
  void set_items(std::vector<std::string> items) { items_ = std::move(items); }

 private:
  void FireToSameTag(bool button_event);

  SimCommandBars& bars_;
  SimCommandBar* bar_;
  long type_;
  long id_;
  bool temporary_;
  bool deleted_ = false;
  int pastes_ = 0;

  bool begin_group_ = false;
  std::string caption_;
  std::string description_;
  bool enabled_ = true;
  long height_ = 22;
  long help_context_id_ = 0;
  std::string help_file_;
  std::string parameter_;
  long priority_ = 0;
  std::string tag_;
  std::string tooltip_;
  bool visible_ = true;
  long width_ = 23;
  std::string on_action_;
  // Buttons.
  long face_id_ = 0;
  std::string shortcut_text_;
  long state_ = 0;
  long style_ = 0;
  long hyperlink_type_ = 0;
  Microsoft::WRL::ComPtr<IDispatch> picture_;
  Microsoft::WRL::ComPtr<IDispatch> mask_;
  // Edits, drop-downs and combo boxes.
  std::vector<std::string> items_;
  long list_index_ = 0;
  std::string text_;
  long dropdown_lines_ = 0;
  long dropdown_width_ = 0;
  long list_header_count_ = -1;
  // Pop-ups.
  Microsoft::WRL::ComPtr<SimCommandBar> popup_;
};

class SimCommandBar : public SimObject {
 public:
  SimCommandBar(SimCommandBars& bars, std::string name, long position, bool temporary, bool built_in);

  const std::string& name() const { return name_; }
  bool built_in() const { return built_in_; }
  bool temporary() const { return temporary_; }
  bool deleted() const { return deleted_; }
  // Any use of a deleted control or toolbar fails, as in Office.
  void CheckUsable() const override;
  void OnPropertyWritten() override;
  long position() const { return position_; }
  long protection() const { return protection_; }
  bool visible() const { return visible_; }
  const std::vector<Microsoft::WRL::ComPtr<SimCommandBarControl>>& controls() const { return controls_; }

  Microsoft::WRL::ComPtr<SimCommandBarControl> AddControl(long type, long id, std::optional<long> before,
                                                          bool temporary);
  void RemoveControl(SimCommandBarControl* control);
  long IndexOf(const SimCommandBarControl* control) const;
  void MoveControl(SimCommandBarControl* control, SimCommandBar& target, std::optional<long> before);
  // Depth first through pop-ups when recursive.
  SimCommandBarControl* FindControl(std::optional<long> type, std::optional<long> id, std::optional<std::string> tag,
                                    bool visible_only, bool recursive) const;
  // Drops temporary controls (a new run of the host).
  void DropTemporaryControls();
  void MarkDeleted() { deleted_ = true; }

 private:
  SimCommandBars& bars_;
  std::string name_;
  std::string name_local_;
  long position_;
  bool temporary_;
  bool built_in_;
  bool deleted_ = false;
  bool enabled_ = true;
  bool visible_ = false;
  long protection_ = 0;
  long left_ = 0;
  long top_ = 0;
  long row_index_ = 0;
  std::vector<Microsoft::WRL::ComPtr<SimCommandBarControl>> controls_;
};

// The Controls collection of a bar (or of a pop-up's bar).
class SimCommandBarControls : public SimObject {
 public:
  explicit SimCommandBarControls(SimCommandBar& bar);

 private:
  Microsoft::WRL::ComPtr<SimCommandBar> bar_;
};

class SimCommandBars : public SimObject {
 public:
  explicit SimCommandBars(std::string source);

  // A built-in bar such as "Standard" or "Formatting" (BuiltIn true).
  Microsoft::WRL::ComPtr<SimCommandBar> AddBuiltInBar(const std::string& name);
  // The bar of that name (case ignored), or nullptr.
  SimCommandBar* Bar(const std::string& name) const;
  const std::vector<Microsoft::WRL::ComPtr<SimCommandBar>>& bars() const { return bars_; }
  // Every control of every bar whose tag equals tag (pop-up contents included).
  std::vector<SimCommandBarControl*> ControlsWithTag(const std::string& tag) const;
  void RemoveBar(SimCommandBar* bar);

  // The host ends and starts again: temporary bars and controls are gone,
  // event connections are gone, everything else is kept.
  void Restart();

  // Between runs of a host (one instance and the next) what is not temporary
  // is kept in the registry under this key of HKEY_CURRENT_USER, as Office
  // keeps it in its own files: saved when the host quits, loaded when it starts.
  void Save(const std::wstring& key) const;
  void Load(const std::wstring& key);

  // Called on every change that would last beyond this run: a bar or control
  // that is not temporary added, deleted or written (Word then has an unsaved
  // Normal.dot). Loading the last run's bars changes nothing.
  std::function<void()> on_lasting_change;
  void LastingChange() const {
    if (on_lasting_change && !loading_) on_lasting_change();
  }

 private:
  std::vector<Microsoft::WRL::ComPtr<SimCommandBar>> bars_;
  bool loading_ = false;
};

}  // namespace trelvo::simoffice
