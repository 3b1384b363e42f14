#include "engine/server/server_store.h"

#include "engine/counter_file.h"

namespace trelvo::engine::server {
namespace {

class ServerStore : public NumberStore {
 public:
  ServerStore(platform::Environment& env, ServerPointer pointer, const std::string& pointer_path)
      : NumberStore(pointer_path), range_(env, std::move(pointer), pointer_path) {}

  bool Exists() const override { return true; }  // it was read to be known as a pointer
  IniDocument Read() const override { return range_.Load(); }
  void Update(const std::function<void(IniDocument&)>& change) const override { range_.Update(change); }

  // One transaction: the row locked, the counter advanced and the record
  // inserted by the server, committed.
  StoreDraw Draw(const DrawPlan& take, const std::string& application) const override {
    return {range_.Draw(take, application), std::nullopt};
  }

  void RecordRefusal(const std::string& application) const override { range_.RecordRefusal(application); }
  void RecordCounterChange(const std::string&) const override {}  // written by the server's own function

  void ForEachRecord(const std::function<void(const StoredEntry&)>& take) const override {
    size_t place = 0;
    range_.ForEachRecord([&](const StoredRecord& stored) {
      // The server's time reads "2026-03-05 14:07:09".
      take({++place,
            UsageRecord{stored.number, stored.counter, stored.time.substr(0, 10),
                        stored.time.size() > 11 ? stored.time.substr(11) : "", stored.application, stored.user,
                        stored.workstation},
            ""});
    });
  }

  const ServerRange* Server() const override { return &range_; }

 private:
  ServerRange range_;
};

}  // namespace

std::unique_ptr<NumberStore> OpenServerStore(platform::Environment& env, ServerPointer pointer,
                                             const std::string& pointer_path) {
  return std::make_unique<ServerStore>(env, std::move(pointer), pointer_path);
}

}  // namespace trelvo::engine::server
