#include "simoffice/sim_dialogs.h"

namespace trelvo::simoffice {

SimDialog::SimDialog(const std::string& source, long number) : SimObject(source), number_(number) {
  AddField("Name", name);
  AddMethod("Show", {"Arg1", "Arg2", "Arg3"}, [this](const CallArguments& arguments) {
    std::vector<std::string> texts;
    if (!name.empty()) texts.push_back(name);
    for (size_t i = 0; i < arguments.size(); ++i)
      if (arguments.Has(i)) texts.push_back(arguments.Text(i));
    shows.push_back(texts);
    return Variant::Bool(true);
  });
  // Test surface: every Show, its texts joined by "|", a line each.
  AddProperty("SimShows", {}, [this](const CallArguments&) {
    std::string lines;
    for (const auto& show : shows) {
      for (size_t i = 0; i < show.size(); ++i) lines += (i ? "|" : "") + show[i];
      lines += "\r\n";
    }
    return Variant::Text(lines);
  });
}

SimDialogs::SimDialogs(const std::string& source) : SimObject(source) {
  AddProperty("Count", {}, [this](const CallArguments&) { return Variant::Int(static_cast<long>(dialogs_.size())); });
  AddProperty("Item", {"Index"},
              [this](const CallArguments& arguments) { return ObjectValue(&dialog(arguments.Int(0))); });
  SetDefaultMember("Item");
}

SimDialog& SimDialogs::dialog(long number) {
  auto& slot = dialogs_[number];
  if (!slot) slot = Make<SimDialog>(source(), number);
  return *slot.Get();
}

}  // namespace trelvo::simoffice
