#include "simoffice/sim_application.h"

#include <oleauto.h>
#include <utility>

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
    RevokeRunning();
    return Variant();
  });
}

SimApplication::~SimApplication() { RevokeRunning(); }

void SimApplication::RegisterAsRunning(const CLSID& class_id) {
  RevokeRunning();
  // Weak: the table does not keep the application alive once its callers let it go.
  if (FAILED(RegisterActiveObject(static_cast<IUnknown*>(dispatch()), class_id, ACTIVEOBJECT_WEAK, &running_cookie_)))
    running_cookie_ = 0;
}

void SimApplication::RevokeRunning() {
  if (running_cookie_) RevokeActiveObject(std::exchange(running_cookie_, 0), nullptr);
}

}  // namespace trelvo::simoffice
