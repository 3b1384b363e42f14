#include "commands/range_selection.h"

#include "engine/range_list.h"
#include "engine/settings.h"
#include "platform/quoting.h"
#include "platform/user_interface.h"

namespace trelvo::commands {
namespace {

void UseCounterFile(platform::Environment& env, const std::string& path) {
  if (!path.empty() && !env.files.IsFullPath(path))
    platform::ShowErrorBox(env.ui, engine::NotAFullPathMessage(engine::kCounterFileWhat, path));
  else if (!path.empty() && env.files.FileExists(path))
    engine::SetCounterFilePath(env, path);
  else
    platform::ShowErrorBox(env.ui, "Die Datei " + platform::Quoted(path) + " existiert nicht!");
}

}  // namespace

void FillRibbonRangeList(platform::Environment& env, ribbon::RibbonControl& drop_down) {
  engine::CreateRangeList(env);
  const std::vector<std::string> lines = engine::ReadRangeList(env);
  ribbon::ControlCollection& items = *drop_down.Items();
  items.Clear();
  const auto add = [&](const std::string& name) {
    items.Add<ribbon::RibbonItem>(drop_down.id() + "_" + name).SetCaption(name);
  };
  add(engine::kDefaultRangeName);
  for (const std::string& line : lines) add(engine::GetRangeName(line));
}

void SelectToolbarRange(platform::Environment& env, const std::string& name) {
  if (name == engine::kDefaultRangeName) return;
  UseCounterFile(env, engine::FindRangePath(env, name));
}

void SelectRangeByName(platform::Environment& env, const std::string& name) {
  if (name == engine::kDefaultRangeName) return;
  const std::string path = platform::Trimmed(engine::FindRangePath(env, name));
  if (path.empty()) return;
  UseCounterFile(env, path);
}

}  // namespace trelvo::commands
