#include "platform/kept_connections.h"

#include <utility>

namespace trelvo::platform {

// A connection lent out: it goes home when let go, if it is sound.
class KeptConnections::Lent : public SqlConnection {
 public:
  Lent(std::weak_ptr<Idle> home, DatabaseConnector& opener, std::string key, std::unique_ptr<SqlConnection> real,
       bool reused)
      : home_(std::move(home)), opener_(opener), key_(std::move(key)), real_(std::move(real)), reused_(reused) {}
  Lent(const Lent&) = delete;
  Lent& operator=(const Lent&) = delete;

  ~Lent() override {
    if (failed_) return;  // closed with real_
    try {
      if (in_transaction_) real_->Rollback();
    } catch (...) {
      return;  // a connection that cannot end its transaction is not kept
    }
    const auto home = home_.lock();
    if (home && !(*home)[key_]) (*home)[key_] = std::move(real_);
  }

  void ForEachRow(const std::string& statement, const std::vector<SqlValue>& parameters,
                  const std::function<void(SqlRow&&)>& take) override {
    const bool first = !used_;
    used_ = true;
    in_transaction_ = true;
    try {
      real_->ForEachRow(statement, parameters, take);
      return;
    } catch (const DatabaseError& error) {
      if (!first || !reused_) {
        // A row held by another workstation (55P03, lock_not_available) is
        // the server's answer over a sound link: rolled back, the connection
        // is kept, so that a draw that had to wait costs no new login.
        failed_ = error.sqlstate() != "55P03";
        throw;
      }
    }
    // A kept connection the server or the network has dropped meanwhile.
    reused_ = false;
    try {
      real_ = opener_.Connect(key_);
      real_->ForEachRow(statement, parameters, take);
    } catch (...) {
      failed_ = true;
      throw;
    }
  }

  void Commit() override { End([&] { real_->Commit(); }); }
  void Rollback() override { End([&] { real_->Rollback(); }); }

 private:
  template <class Ending>
  void End(Ending&& ending) {
    try {
      ending();
      in_transaction_ = false;
    } catch (...) {
      failed_ = true;
      throw;
    }
  }

  std::weak_ptr<Idle> home_;
  DatabaseConnector& opener_;
  std::string key_;
  std::unique_ptr<SqlConnection> real_;
  bool reused_;
  bool used_ = false;
  bool in_transaction_ = false;
  bool failed_ = false;
};

KeptConnections::KeptConnections(DatabaseConnector& opener) : opener_(opener), idle_(std::make_shared<Idle>()) {}

KeptConnections::~KeptConnections() = default;

std::unique_ptr<SqlConnection> KeptConnections::Connect(const std::string& connection_string) {
  auto& kept = (*idle_)[connection_string];
  if (kept) return std::make_unique<Lent>(idle_, opener_, connection_string, std::move(kept), true);
  return std::make_unique<Lent>(idle_, opener_, connection_string, opener_.Connect(connection_string), false);
}

void KeptConnections::Close() { idle_->clear(); }

}  // namespace trelvo::platform
