#include "commands/range_selection.h"

#include "engine/range_list.h"
#include "engine/settings.h"
#include "platform/user_interface.h"

namespace trelvo::commands {
namespace {

// Without leading and trailing blanks and control characters.
std::string Trimmed(const std::string& text) {
  const auto kept = [](char c) { return static_cast<unsigned char>(c) > ' '; };
  size_t begin = 0, end = text.size();
  while (begin < end && !kept(text[begin])) ++begin;
  while (end > begin && !kept(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

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
  const std::string path = Trimmed(engine::FindRangePath(env, name));
  if (path.empty()) return;
  UseCounterFile(env, path);
}

}  // namespace trelvo::commands
