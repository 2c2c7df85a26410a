#include "tests/support/run_program.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "tests/support/test_services.h"

extern char** environ;

namespace tavrin::testing {
namespace {

std::string Slurp(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

std::filesystem::path BinDir() { return TAVRIN_BIN_DIR; }

ProgramRun RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                      const std::vector<std::string>& env, int seconds,
                      const std::filesystem::path& stdout_to) {
  TempDir capture;
  const auto out_file = capture.path() / "out";
  const auto err_file = capture.path() / "err";

  // "timeout" ends a hung program, so a broken build fails the test instead of CI.
  std::vector<std::string> argv_text = {"timeout", "-k", "5", std::to_string(seconds),
                                        program.string()};
  argv_text.insert(argv_text.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : argv_text) argv.push_back(a.data());
  argv.push_back(nullptr);

  // Later entries win over earlier ones and over the inherited environment.
  std::vector<std::string> env_text;
  auto set = [&env_text](const std::string& entry) {
    const std::string name = entry.substr(0, entry.find('=') + 1);
    std::erase_if(env_text, [&](const std::string& e) { return e.rfind(name, 0) == 0; });
    env_text.push_back(entry);
  };
  for (char** e = environ; *e != nullptr; ++e) set(*e);
  for (const auto& e : env) set(e);
  std::vector<char*> envp;
  for (auto& e : env_text) envp.push_back(e.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  const std::filesystem::path& out_target = stdout_to.empty() ? out_file : stdout_to;
  posix_spawn_file_actions_addopen(&actions, 1, out_target.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 2, err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  ProgramRun run;
  if (posix_spawnp(&pid, "timeout", &actions, nullptr, argv.data(), envp.data()) == 0) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  run.out = Slurp(out_file);
  run.err = Slurp(err_file);
  return run;
}

}  // namespace tavrin::testing
