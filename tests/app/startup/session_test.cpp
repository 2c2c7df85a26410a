// Locks, the activation request and the start check, inside one process: every lock is
// taken through its own open file, so a lock held here is "held elsewhere" for a probe.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "app/startup/activation.h"
#include "app/startup/process_stats.h"
#include "app/startup/start_check.h"
#include "tests/support/test_services.h"

namespace tavrin::startup {
namespace {

using Clock = std::chrono::steady_clock;

// Points the runtime folder at a private temporary folder for one test.
class RuntimeFolderScope {
 public:
  RuntimeFolderScope() {
    if (const char* old = std::getenv("XDG_RUNTIME_DIR")) old_ = old;
    setenv("XDG_RUNTIME_DIR", dir_.path().c_str(), 1);
  }
  ~RuntimeFolderScope() {
    if (old_.empty()) {
      unsetenv("XDG_RUNTIME_DIR");
    } else {
      setenv("XDG_RUNTIME_DIR", old_.c_str(), 1);
    }
  }
  const std::filesystem::path& path() const { return dir_.path(); }

 private:
  testing::TempDir dir_;
  std::string old_;
};

int Listen(const std::filesystem::path& path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
  EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  EXPECT_EQ(listen(fd, 4), 0);
  return fd;
}

TEST(SessionLocks, HeldUntilReleasedAndStartCheckFollowsThem) {
  RuntimeFolderScope runtime;
  EXPECT_EQ(RuntimeFolder(), runtime.path());
  const std::string instance = "{8D622ABC-7F4F-49CF-A95A-86F8A21753BA}-local-test";

  StartCheck first = CheckStart(instance);
  ASSERT_EQ(first.verdict, StartVerdict::Run);
  ASSERT_TRUE(first.instanceLock);
  EXPECT_TRUE(IsHeldElsewhere(instance));
  EXPECT_EQ(CheckStart(instance).verdict, StartVerdict::OtherRunning);
  // Another program name is another instance.
  EXPECT_EQ(CheckStart(instance + "2").verdict, StartVerdict::Run);

  {
    auto unloading = SessionLock::TryAcquire(kUnloadingLockName);
    ASSERT_TRUE(unloading);
    EXPECT_FALSE(SessionLock::TryAcquire(kUnloadingLockName));
    // Unloading wins over everything, also over a free instance name.
    EXPECT_EQ(CheckStart(instance + "3").verdict, StartVerdict::OtherUnloading);
  }
  first.instanceLock.reset();
  EXPECT_FALSE(IsHeldElsewhere(instance));
  EXPECT_EQ(CheckStart(instance).verdict, StartVerdict::Run);
}

TEST(SessionLocks, AdministratorCheckOnlyForCodesFourToNine) {
  EXPECT_TRUE(AdministratorCheckPasses(3, false));
  EXPECT_FALSE(AdministratorCheckPasses(4, false));
  EXPECT_FALSE(AdministratorCheckPasses(9, false));
  EXPECT_TRUE(AdministratorCheckPasses(9, true));
  EXPECT_TRUE(AdministratorCheckPasses(10, false));
  EXPECT_TRUE(AdministratorCheckPasses(100, false));
}

TEST(ActivationRequest, AnsweredSilentOrHung) {
  RuntimeFolderScope runtime;
  const auto path = ActivationSocketPath("instance");
  EXPECT_EQ(path, runtime.path() / "instance.sock");

  // Nobody listens: no waiting at all.
  auto start = Clock::now();
  EXPECT_EQ(SendActivation(path, std::chrono::milliseconds(2000)), ActivationResult::NoListener);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500));

  // A listener that never answers is a hung instance: the request gives up at the limit.
  const int hung = Listen(path);
  start = Clock::now();
  EXPECT_EQ(SendActivation(path, std::chrono::milliseconds(300)), ActivationResult::TimedOut);
  const auto waited = Clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(290));
  EXPECT_LT(waited, std::chrono::milliseconds(1500));
  close(hung);
  unlink(path.c_str());

  // A listener that reads the request and answers.
  const int server = Listen(path);
  std::string received;
  std::thread answer([&] {
    const int client = accept(server, nullptr, nullptr);
    char buffer[64] = {};
    const ssize_t got = read(client, buffer, sizeof(buffer));
    if (got > 0) received.assign(buffer, static_cast<std::size_t>(got));
    (void)!write(client, kActivationReply.data(), kActivationReply.size());
    close(client);
  });
  EXPECT_EQ(SendActivation(path, std::chrono::milliseconds(2000)), ActivationResult::Acknowledged);
  answer.join();
  close(server);
  EXPECT_EQ(received, kActivationRequest);
}

TEST(ProcessStats, ResidentMemoryAndStartTime) {
  EXPECT_EQ(ResidentKilobytes("Name:\tx\nVmPeak:\t 9 kB\nVmRSS:\t   51234 kB\n"), 51234);
  EXPECT_FALSE(ResidentKilobytes("Name:\tx\n").has_value());
  EXPECT_GT(ResidentKilobytes().value_or(0), 0);
  const auto since_start = MillisecondsSinceProcessStart();
  ASSERT_TRUE(since_start.has_value());
  EXPECT_GE(*since_start, 0);
}

// Without XDG_RUNTIME_DIR the locks go to /tmp, where another user may have made the folder
// first: such a folder, or one open to others, is refused with a note, and a private one of
// the same name for every start is used instead.
TEST(SessionLocks, FallbackRuntimeFolderMustBePrivateAndOurs) {
  testing::TempDir tmp;
  const uid_t uid = getuid();
  const std::string base = (tmp.path() / ("tavrin-" + std::to_string(uid))).string();

  RuntimeFolderChoice fresh = ChooseRuntimeFolder(nullptr, uid, tmp.path());
  EXPECT_EQ(fresh.path, base);
  EXPECT_EQ(fresh.note, "");
  struct stat st {};
  ASSERT_EQ(stat(base.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(ChooseRuntimeFolder("", uid, tmp.path()).path, base) << "empty means unset";

  ASSERT_EQ(chmod(base.c_str(), 0755), 0);
  const RuntimeFolderChoice open = ChooseRuntimeFolder(nullptr, uid, tmp.path());
  EXPECT_EQ(open.path, base + "-2");
  EXPECT_EQ(open.note, base + " is open to other users (mode 755); using " + base + "-2 instead");
  EXPECT_EQ(ChooseRuntimeFolder(nullptr, uid, tmp.path()).path, base + "-2") << "stable";

  // Another user's folder (only root can make one here).
  if (geteuid() == 0) {
    ASSERT_EQ(chmod(base.c_str(), 0700), 0);
    ASSERT_EQ(chown(base.c_str(), 4242, 4242), 0);
    const RuntimeFolderChoice foreign = ChooseRuntimeFolder(nullptr, uid, tmp.path());
    EXPECT_EQ(foreign.path, base + "-2");
    EXPECT_NE(foreign.note.find("belongs to user 4242"), std::string::npos) << foreign.note;
  }
  std::filesystem::remove_all(base + "-2");
  std::filesystem::create_directory_symlink(tmp.path(), base + "-2");
  EXPECT_EQ(ChooseRuntimeFolder(nullptr, uid, tmp.path()).path, base + "-3") << "no links";
}

}  // namespace
}  // namespace tavrin::startup
