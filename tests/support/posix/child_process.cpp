#include "tests/support/child_process.h"

#include <csignal>
#include <cstdlib>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace trelvo::testing {
namespace {

class PosixChild : public ChildProcess {
 public:
  explicit PosixChild(pid_t pid) : pid_(pid) {}
  ~PosixChild() override {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      Wait();
    }
  }
  int Wait() override {
    if (pid_ <= 0) return status_;
    int raw = 0;
    while (waitpid(pid_, &raw, 0) < 0) {
    }
    pid_ = 0;
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return status_;
  }
  std::optional<int> WaitFor(std::chrono::milliseconds limit) override {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (pid_ > 0) {
      int raw = 0;
      const pid_t ended = waitpid(pid_, &raw, WNOHANG);
      if (ended == pid_) {
        pid_ = 0;
        status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
      } else if (std::chrono::steady_clock::now() >= deadline) {
        return std::nullopt;
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    }
    return status_;
  }
  void Kill() override {
    if (pid_ > 0) kill(pid_, SIGKILL);
  }

 private:
  pid_t pid_;
  int status_ = -1;
};

}  // namespace

std::unique_ptr<ChildProcess> StartChild(const std::string& program, const std::vector<std::string>& args) {
  std::vector<std::string> all = {program};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& arg : all) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  return std::make_unique<PosixChild>(pid);
}

std::string ProgramFolder() {
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  const std::string self(path, length > 0 ? static_cast<size_t>(length) : 0);
  return self.substr(0, self.find_last_of('/') + 1);
}

std::string SiblingProgram(const std::string& name) { return ProgramFolder() + name; }

std::string PathSeparator() { return "/"; }

std::string MakeTempFolder() {
  char pattern[] = "/tmp/trelvo-test-XXXXXX";
  if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
  return std::string(pattern) + "/";
}

}  // namespace trelvo::testing
