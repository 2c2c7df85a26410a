// The single-instance rules with the real window program: two processes on the offscreen
// platform, in a private runtime folder.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "app/startup/activation.h"
#include "app/startup/instance_name.h"
#include "app/startup/session_locks.h"
#include "tests/support/run_program.h"
#include "tests/support/test_services.h"

extern char** environ;

namespace tavrin::startup {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

class SingleInstance : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = testing::BinDir() / "tavrin";
    if (!std::filesystem::exists(program_)) GTEST_SKIP() << "the window program is not built";
    env_ = {"XDG_RUNTIME_DIR=" + runtime_.path().string(), "QT_QPA_PLATFORM=offscreen"};
    if (const char* old = std::getenv("XDG_RUNTIME_DIR")) old_runtime_ = old;
    setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1);
  }
  void TearDown() override {
    if (first_ > 0) {
      kill(first_, SIGCONT);
      kill(first_, SIGKILL);
      waitpid(first_, nullptr, 0);
    }
    if (old_runtime_.empty()) {
      unsetenv("XDG_RUNTIME_DIR");
    } else {
      setenv("XDG_RUNTIME_DIR", old_runtime_.c_str(), 1);
    }
  }

  /// Starts the first instance and waits until it listens for activation requests.
  void StartFirst() {
    std::vector<std::string> entries;
    for (char** e = environ; *e != nullptr; ++e) entries.emplace_back(*e);
    for (const auto& extra : env_) entries.push_back(extra);
    std::vector<char*> envp;
    for (auto& entry : entries) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string path = program_.string();
    char* argv[] = {path.data(), nullptr};
    ASSERT_EQ(posix_spawn(&first_, path.c_str(), nullptr, nullptr, argv, envp.data()), 0);
    const auto socket = ActivationSocketPath(InstanceName("tavrin"));
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (!std::filesystem::exists(socket) && Clock::now() < deadline)
      std::this_thread::sleep_for(milliseconds(50));
    ASSERT_TRUE(std::filesystem::exists(socket)) << "the first instance never came up";
  }

  /// Runs a second start and returns how long it took.
  milliseconds RunSecond(int* exitCode, std::string* err = nullptr) {
    const auto start = Clock::now();
    const testing::ProgramRun run = testing::RunProgram(program_, {}, env_, 60);
    *exitCode = run.exit_code;
    if (err) *err = run.err;
    return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
  }

  bool FirstRunning() { return first_ > 0 && waitpid(first_, nullptr, WNOHANG) == 0; }

  std::filesystem::path program_;
  testing::TempDir runtime_;
  std::vector<std::string> env_;
  std::string old_runtime_;
  pid_t first_ = -1;
};

TEST_F(SingleInstance, SecondStartWakesTheFirstAndEnds) {
  StartFirst();
  int exit_code = -1;
  const milliseconds took = RunSecond(&exit_code);
  EXPECT_EQ(exit_code, 0);
  // The second start waits for the first one's answer (see the hung case), so a quick end
  // means the first instance took the request.
  EXPECT_LT(took, milliseconds(1000));
  EXPECT_TRUE(FirstRunning());
}

TEST_F(SingleInstance, StartWhileAnotherUnloadsEndsSilently) {
  auto unloading = SessionLock::TryAcquire(kUnloadingLockName);
  ASSERT_TRUE(unloading);
  int exit_code = -1;
  const milliseconds took = RunSecond(&exit_code);
  EXPECT_EQ(exit_code, 0);
  EXPECT_LT(took, milliseconds(1000));
  // It did not become the instance: no activation socket was made.
  EXPECT_FALSE(std::filesystem::exists(ActivationSocketPath(InstanceName("tavrin"))));
}

TEST_F(SingleInstance, StartGivesUpOnAHungInstance) {
  StartFirst();
  ASSERT_EQ(kill(first_, SIGSTOP), 0);
  int exit_code = -1;
  std::string err;
  const milliseconds took = RunSecond(&exit_code, &err);
  // Nothing the user asked for happened: a failure, with the reason.
  EXPECT_EQ(exit_code, 1);
  EXPECT_NE(err.find("another instance is running but did not answer within 5 s"),
            std::string::npos)
      << err;
  EXPECT_GE(took, kActivationTimeout - milliseconds(50));
  EXPECT_LT(took, kActivationTimeout + milliseconds(3000));
}

}  // namespace
}  // namespace tavrin::startup
