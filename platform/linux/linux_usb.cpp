// The USB tree from sysfs: every device folder of the USB bus with its descriptors file, its
// string attributes and the drivers and block devices of its interfaces.
#include <algorithm>
#include <filesystem>

#include "platform/linux/linux_device_text.h"
#include "platform/linux/linux_input_output.h"

namespace tavrin::platform {
namespace {

using device_text::BaseName;
using device_text::Parent;

constexpr std::string_view kBus = "/sys/bus/usb/devices";
constexpr std::string_view kUsbIds[] = {"/usr/share/misc/usb.ids", "/usr/share/hwdata/usb.ids",
                                        "/var/lib/usbutils/usb.ids", "/usr/share/usb.ids"};

// "/dev/sdb1 /media/stick vfat rw 0 0" lines; blanks in paths are written as "\040".
std::vector<std::pair<std::string, std::string>> ParseMounts(std::string_view text) {
  auto unescape = [](std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
      const auto octal = [&](std::size_t k) { return s[k] >= '0' && s[k] <= '7'; };
      if (s[i] == '\\' && i + 3 < s.size() && octal(i + 1) && octal(i + 2) && octal(i + 3)) {
        out += static_cast<char>((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0'));
        i += 3;
      } else {
        out += s[i];
      }
    }
    return out;
  };
  std::vector<std::pair<std::string, std::string>> mounts;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const auto a = line.find(' ');
    if (a == std::string_view::npos) continue;
    const auto b = line.find(' ', a + 1);
    mounts.emplace_back(unescape(line.substr(0, a)), unescape(line.substr(a + 1, b - a - 1)));
  }
  return mounts;
}

class LinuxUsbService : public UsbService {
 public:
  LinuxUsbService(std::shared_ptr<const FileReader> files, IdEntriesProbe ids)
      : files_(std::move(files)), ids_(std::move(ids)) {}

  Answer<std::vector<UsbDeviceRecord>> Devices() const override {
    auto names = files_->ListDir(kBus);
    if (!names) {
      if (names.source.status == Status::Missing)
        return Answer<std::vector<UsbDeviceRecord>>::Fail(Status::Missing, std::string(kBus),
                                                          "this machine has no USB bus");
      return {std::nullopt, names.source};
    }
    std::vector<UsbDeviceRecord> devices;
    std::vector<std::pair<std::string, std::string>> mounts;
    bool mountsRead = false;
    for (const auto& name : *names) {
      if (name.find(':') != std::string::npos) continue;  // interfaces come with their device
      auto record = ReadDevice(name, *names, mounts, mountsRead);
      if (record) devices.push_back(std::move(*record));
    }
    return Answer<std::vector<UsbDeviceRecord>>::Of(std::move(devices), std::string(kBus));
  }

  Answer<std::string> IdEntries(const IdKeys& ids) const override {
    if (!ids_) return Answer<std::string>::Fail(Status::NotSupported, "usb.ids");
    return ids_(ids);
  }

 private:
  std::string Line(const std::string& path) const { return files_->ReadLine(path).value_or({}); }
  std::string LinkBase(const std::string& path) const {
    auto link = files_->ReadLink(path);
    return link ? BaseName(*link) : std::string();
  }

  std::optional<UsbDeviceRecord> ReadDevice(
      const std::string& name, const std::vector<std::string>& all,
      std::vector<std::pair<std::string, std::string>>& mounts, bool& mountsRead) const {
    const std::string dir = std::string(kBus) + "/" + name;
    UsbDeviceRecord r;
    r.name = name;
    r.path = dir;
    r.descriptors = files_->ReadFile(dir + "/descriptors", 64 * 1024);
    auto devnum = files_->ReadLine(dir + "/devnum");
    // Unplugged between the listing and now: the folder is gone with everything in it.
    if (!r.descriptors && r.descriptors.source.status == Status::Missing && !devnum)
      return std::nullopt;
    r.devnum = std::atoi(devnum.value_or("0").c_str());
    r.busnum = std::atoi(Line(dir + "/busnum").c_str());
    r.maxChild = std::atoi(Line(dir + "/maxchild").c_str());
    if (!r.descriptors) {
      r.attributes.idVendor = Line(dir + "/idVendor");
      r.attributes.idProduct = Line(dir + "/idProduct");
      r.attributes.bcdDevice = Line(dir + "/bcdDevice");
      r.attributes.bDeviceClass = Line(dir + "/bDeviceClass");
      r.attributes.version = Line(dir + "/version");
      r.attributes.bMaxPower = Line(dir + "/bMaxPower");
    }
    r.manufacturer = Line(dir + "/manufacturer");
    r.product = Line(dir + "/product");
    r.serial = Line(dir + "/serial");
    r.speed = Line(dir + "/speed");
    r.driver = LinkBase(dir + "/driver");
    if (name.rfind("usb", 0) == 0) {
      // The root hub's folder sits in its host controller's: the link names both.
      if (auto link = files_->ReadLink(dir)) {
        const std::string real =
            std::filesystem::path(std::string(kBus) + "/" + *link).lexically_normal().string();
        const std::string controller = Parent(real);
        r.controller = BaseName(controller);
        r.controllerDriver = LinkBase(controller + "/driver");
      }
    }
    const std::string prefix = name + ":";
    for (const auto& other : all) {
      if (other.rfind(prefix, 0) != 0) continue;
      UsbInterfaceRecord intf;
      intf.name = other;
      const std::string idir = std::string(kBus) + "/" + other;
      intf.driver = LinkBase(idir + "/driver");
      if (Line(idir + "/bInterfaceClass") == "08") {
        if (!mountsRead) {
          mounts = ParseMounts(files_->ReadFile("/proc/self/mounts").value_or({}));
          mountsRead = true;
        }
        ReadBlockDevices(idir, mounts, intf.blockDevices);
      }
      r.interfaces.push_back(std::move(intf));
    }
    return r;
  }

  // host*/target*/H:C:T:L/block/sdX below a mass-storage interface.
  void ReadBlockDevices(const std::string& idir,
                        const std::vector<std::pair<std::string, std::string>>& mounts,
                        std::vector<UsbBlockDevice>& out) const {
    auto list = [&](const std::string& d) {
      return files_->ListDir(d).value_or(std::vector<std::string>{});
    };
    for (const auto& host : list(idir)) {
      if (host.rfind("host", 0) != 0) continue;
      for (const auto& target : list(idir + "/" + host)) {
        if (target.rfind("target", 0) != 0) continue;
        const std::string tdir = idir + "/" + host + "/" + target;
        for (const auto& lun : list(tdir)) {
          if (lun.find(':') == std::string::npos) continue;
          for (const auto& disk : list(tdir + "/" + lun + "/block")) {
            UsbBlockDevice block;
            block.name = disk;
            std::vector<std::string> parts{disk};
            for (const auto& p : list(tdir + "/" + lun + "/block/" + disk))
              if (p.rfind(disk, 0) == 0 && p.size() > disk.size()) parts.push_back(p);
            for (const auto& [dev, point] : mounts)
              for (const auto& p : parts)
                if (dev == "/dev/" + p) block.mountPoints.push_back(point);
            out.push_back(std::move(block));
          }
        }
      }
    }
  }

  std::shared_ptr<const FileReader> files_;
  IdEntriesProbe ids_;
};

}  // namespace

std::shared_ptr<const UsbService> MakeLinuxUsbService(std::shared_ptr<const FileReader> files,
                                                      IdEntriesProbe ids) {
  return std::make_shared<LinuxUsbService>(std::move(files), std::move(ids));
}

IdEntriesProbe UsbIdFileProbe(std::shared_ptr<const FileReader> files) {
  return [files](const IdKeys& ids) {
    Provenance last = Provenance::Failure(Status::Missing, "usb.ids");
    for (auto path : kUsbIds) {
      auto text = files->ReadFile(path, 16u << 20);
      if (text) return Answer<std::string>::Of(FilterIdFile(*text, ids), std::string(path));
      if (last.status == Status::Missing) last = text.source;
    }
    return Answer<std::string>::Fail(last.status, last.source, last.detail);
  };
}

}  // namespace tavrin::platform
