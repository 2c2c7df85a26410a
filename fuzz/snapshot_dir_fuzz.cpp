// libFuzzer target: opening a snapshot directory and asking its services. The input is a
// small file tree in a text layout, so the fuzzer can grow and mix it freely:
//
//   === snapshot.json
//   {"format":"tavrin-snapshot","version":1}
//   === cpuid/cpu0.txt
//   CPUID 00000000: ...
//
// Each "=== NAME" line starts a file whose bytes run up to the next such line. Names are
// relative; "." and ".." parts are dropped, and a name ending in "/" makes a folder. The
// tree is written to a private temporary folder, opened with OpenSnapshot, and every service
// of the result is asked a few questions, so the lazy parts (registers, tables, os.json)
// are read too.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "platform/firmware.h"
#include "platform/os_environment.h"
#include "platform/os_facts.h"
#include "platform/processor.h"
#include "platform/recorded/snapshot.h"

namespace {

namespace fs = std::filesystem;
using namespace tavrin::platform;

// One folder for the whole run, emptied before each input.
const fs::path& Scratch() {
  static const fs::path dir = [] {
    std::string pattern = (fs::temp_directory_path() / "tavrin-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) abort();
    return fs::path(pattern);
  }();
  return dir;
}

// A relative name inside the tree, or empty when nothing is left of it.
fs::path SafeName(std::string_view name) {
  fs::path out;
  for (const auto& part : fs::path(std::string(name)).relative_path()) {
    const std::string text = part.string();
    if (text.empty() || text == "." || text == ".." || text.size() > 64) continue;
    out /= part;
  }
  return out;
}

void WriteTree(std::string_view input, const fs::path& root) {
  constexpr std::string_view kMark = "=== ";
  std::size_t at = input.find(kMark);
  if (at != 0 && at != std::string_view::npos) at = input.find(std::string("\n") + "=== ");
  int files = 0;
  while (at != std::string_view::npos && files++ < 32) {
    if (input[at] == '\n') ++at;
    const std::size_t name_end = input.find('\n', at);
    if (name_end == std::string_view::npos) return;
    const std::string_view name = input.substr(at + kMark.size(), name_end - at - kMark.size());
    std::size_t next = input.find("\n=== ", name_end);
    const std::string_view body =
        input.substr(name_end + 1,
                     next == std::string_view::npos ? std::string_view::npos : next - name_end - 1);
    const fs::path relative = SafeName(name);
    std::error_code ec;
    if (!relative.empty()) {
      const fs::path path = root / relative;
      if (!name.empty() && name.back() == '/') {
        fs::create_directories(path, ec);
      } else {
        fs::create_directories(path.parent_path(), ec);
        std::ofstream(path, std::ios::binary)
            .write(body.data(), static_cast<std::streamsize>(body.size()));
      }
    }
    at = next;
  }
}

void Ask(const Services& s) {
  if (s.files) {
    for (const char* path : {"/proc/cpuinfo", "/etc/os-release", "/sys/class/dmi/id/board_name"})
      (void)s.files->ReadFile(path);
    (void)s.files->ListDir("/sys/class/net");
    (void)s.files->ReadLink("/sys/class/net/lo");
    (void)s.files->BirthTime("/");
  }
  if (s.system) {
    (void)s.system->UserName();
    (void)s.system->OsVersionRecord();
  }
  if (s.processor) {
    (void)s.processor->SystemInfo();
    (void)s.processor->ExecuteCPUID(0);
    (void)s.processor->ExecuteCPUID(4, 1);
    (void)s.processor->KernelRecord();
  }
  if (s.firmware) (void)s.firmware->ReadSmbios();
  if (s.os) {
    (void)s.os->CurrentUser();
    (void)s.os->TimeZone();
    (void)s.os->UserFolders();
    (void)s.os->Kernel();
  }
  if (s.environment) (void)s.environment->Variables();
  if (s.registry) (void)s.registry->SubKeys(RegRoot::LocalMachine, "SOFTWARE");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const fs::path& root = Scratch();
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(root, ec)) fs::remove_all(entry.path(), ec);
  const fs::path dir = root / "snap";
  fs::create_directories(dir, ec);
  WriteTree(std::string_view(reinterpret_cast<const char*>(data), size), dir);
  SnapshotOpen opened = OpenSnapshot(dir);
  if (opened.services) Ask(*opened.services);
  return 0;
}
