// Sound cards from /proc/asound and /sys/class/sound, and the sound server on the user's
// runtime sockets.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "platform/linux/linux_device_text.h"
#include "platform/linux/linux_input_output.h"

namespace tavrin::platform {
namespace {

constexpr std::string_view kAsound = "/proc/asound";

class LinuxAudioService : public AudioService {
 public:
  LinuxAudioService(std::shared_ptr<const FileReader> files, Probe<std::string> server)
      : files_(std::move(files)), server_(std::move(server)) {}

  Answer<AudioRecord> Sound() const override {
    const std::string root(kAsound);
    AudioRecord r;
    r.cards = files_->ReadFile(root + "/cards", 1 << 20);
    if (!r.cards) {
      if (r.cards.source.status == Status::Missing)
        return Answer<AudioRecord>::Fail(Status::Missing, r.cards.source.source,
                                         "the kernel has no sound support loaded");
      return {std::nullopt, r.cards.source};
    }
    r.pcm = files_->ReadFile(root + "/pcm", 1 << 20);
    r.devices = files_->ReadFile(root + "/devices", 1 << 20);
    r.version = files_->ReadLine(root + "/version");
    for (const auto& entry : files_->ListDir(root).value_or({})) {
      if (entry.rfind("card", 0) != 0 || entry.size() == 4 ||
          entry.find_first_not_of("0123456789", 4) != std::string::npos)
        continue;
      AudioCardRecord card;
      card.index = std::atoi(entry.c_str() + 4);
      const std::string dir = root + "/" + entry;
      for (const auto& f : files_->ListDir(dir).value_or({}))
        if (f.rfind("midi", 0) == 0 && f.size() > 4)
          if (auto text = files_->ReadFile(dir + "/" + f, 65536))
            card.midi[std::atoi(f.c_str() + 4)] = *text;
      if (auto link = files_->ReadLink("/sys/class/sound/" + entry + "/device/driver/module")) {
        card.module = device_text::BaseName(*link);
        card.moduleVersion =
            files_->ReadLine("/sys/module/" + card.module + "/version").value_or({});
      }
      r.cardDetails.push_back(std::move(card));
    }
    return Answer<AudioRecord>::Of(std::move(r), root);
  }

  Answer<std::vector<Answer<MultimediaCapsRecord>>> MultimediaDevices(
      MultimediaFamily) const override {
    return Answer<std::vector<Answer<MultimediaCapsRecord>>>::Fail(Status::NotSupported,
                                                                   "Windows multimedia devices");
  }

  Answer<std::string> SoundServer() const override {
    if (!server_) return Answer<std::string>::Fail(Status::NotSupported, "sound server");
    return server_();
  }

 private:
  std::shared_ptr<const FileReader> files_;
  Probe<std::string> server_;
};

// Whether something accepts connections on a Unix socket. A connect on a local socket
// answers at once; no protocol is spoken.
bool Answers(const std::string& path) {
  sockaddr_un address{};
  if (path.size() >= sizeof address.sun_path) return false;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return false;
  const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return ok;
}

}  // namespace

std::shared_ptr<const AudioService> MakeLinuxAudioService(std::shared_ptr<const FileReader> files,
                                                          Probe<std::string> soundServer) {
  return std::make_shared<LinuxAudioService>(std::move(files), std::move(soundServer));
}

Probe<std::string> SoundServerProbe() {
  return [] {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !*runtime)
      return Answer<std::string>::Fail(Status::Missing, "XDG_RUNTIME_DIR",
                                       "no runtime folder for this user");
    const std::string dir = runtime;
    // PipeWire also serves the PulseAudio socket, so it is asked first.
    if (Answers(dir + "/pipewire-0"))
      return Answer<std::string>::Of("PipeWire", dir + "/pipewire-0");
    if (Answers(dir + "/pulse/native"))
      return Answer<std::string>::Of("PulseAudio", dir + "/pulse/native");
    return Answer<std::string>::Fail(Status::Missing, dir + "/pipewire-0, " + dir + "/pulse/native",
                                     "no sound server is running");
  };
}

}  // namespace tavrin::platform
