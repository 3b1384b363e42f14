#include "engine/number_store.h"

#include "engine/counter_file_store.h"
#include "engine/server/server_store.h"
#include "engine/settings.h"

namespace trelvo::engine {
namespace {

// A counter-file path before its content is known. The first operation
// chooses the store, once: a draw by the content it reads under its own lock
// (the Insert's one read of the file), anything else by a read of its own.
class PathStore : public NumberStore {
 public:
  PathStore(platform::Environment& env, const std::string& path) : NumberStore(path), env_(env) {}

  bool Exists() const override { return Chosen().Exists(); }
  IniDocument Read() const override { return Chosen().Read(); }
  void Update(const std::function<void(IniDocument&)>& change) const override { Chosen().Update(change); }
  void RecordRefusal(const std::string& application) const override { Chosen().RecordRefusal(application); }
  void RecordCounterChange(const std::string& change) const override { Chosen().RecordCounterChange(change); }
  void ForEachRecord(const std::function<void(const StoredEntry&)>& take) const override {
    Chosen().ForEachRecord(take);
  }
  const server::ServerRange* Server() const override { return Chosen().Server(); }

  // A pointer found under the counter file's lock is let go unchanged, and
  // its server range draws.
  StoreDraw Draw(const DrawPlan& take, const std::string& application) const override {
    if (chosen_) return chosen_->Draw(take, application);
    auto file = OpenCounterFileStore(env_, path());
    std::optional<server::ServerPointer> pointer;
    const auto names_server = [&](const IniDocument& content) {
      pointer = server::ServerPointerIn(content, path());
      return pointer.has_value();
    };
    std::optional<StoreDraw> drawn = file->DrawUnless(names_server, take, application);
    if (drawn) {
      chosen_ = std::move(file);
      return *drawn;
    }
    chosen_ = server::OpenServerStore(env_, std::move(*pointer), path());
    return chosen_->Draw(take, application);
  }

 private:
  // The one place that asks what a path holds.
  const NumberStore& Chosen() const {
    if (!chosen_) {
      if (auto pointer = server::ServerPointerIn(LoadCounterFile(env_, path()), path()))
        chosen_ = server::OpenServerStore(env_, std::move(*pointer), path());
      else
        chosen_ = OpenCounterFileStore(env_, path());
    }
    return *chosen_;
  }

  platform::Environment& env_;
  mutable std::unique_ptr<NumberStore> chosen_;
};

}  // namespace

std::unique_ptr<NumberStore> OpenNumberStore(platform::Environment& env, const std::string& path) {
  return std::make_unique<PathStore>(env, path);
}

std::unique_ptr<NumberStore> OpenCurrentNumberStore(platform::Environment& env) {
  return OpenNumberStore(env, UsableCounterFilePath(env));
}

}  // namespace trelvo::engine
