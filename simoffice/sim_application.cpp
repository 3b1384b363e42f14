#include "simoffice/sim_application.h"

namespace trelvo::simoffice {

SimApplication::SimApplication(const std::string& source, const IID& application_iid,
                               std::initializer_list<const char*> built_in_bars)
    : SimObject(source), dialogs_(Make<SimDialogs>(source)), command_bars_(Make<SimCommandBars>(source)) {
  AnswerAs(application_iid);
  for (const char* bar : built_in_bars) command_bars_->AddBuiltInBar(bar);
  AddField("Version", version);
  AddProperty("Name", {}, [this](const CallArguments&) { return Variant::Text(this->source()); });
  AddProperty("Dialogs", {}, [this](const CallArguments&) { return ObjectValue(dialogs_.Get()); });
  AddProperty("CommandBars", {}, [this](const CallArguments&) { return ObjectValue(command_bars_.Get()); });
  AddMethod("Quit", {"SaveChanges", "OriginalFormat", "RouteDocument"}, [this](const CallArguments&) {
    quit = true;
    if (on_quit) on_quit();
    return Variant();
  });
}

}  // namespace trelvo::simoffice
