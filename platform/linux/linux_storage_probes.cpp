// The storage answers that are not file reads: statvfs of a mount point and the commands a
// disk answers (ATA IDENTIFY and S.M.A.R.T. through SCSI ATA PASS-THROUGH, NVMe identify and
// health log through the NVMe admin command). Each runs under a time limit.
#include <fcntl.h>
#include <linux/nvme_ioctl.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/time_limit.h"
#include "platform/linux/linux_storage.h"

namespace tavrin::platform {
namespace {

// The device node, closed with the object.
class DeviceFd {
 public:
  explicit DeviceFd(const std::string& path)
      : fd_(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {}
  ~DeviceFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  DeviceFd(const DeviceFd&) = delete;
  DeviceFd& operator=(const DeviceFd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

struct AtaCommand {
  uint8_t command, features, lbaMid, lbaHigh;
};

AtaCommand AtaCommandOf(DeviceQuery q) {
  switch (q) {
    case DeviceQuery::kAtaIdentifyPacket:
      return {0xA1, 0, 0, 0};
    case DeviceQuery::kAtaSmartData:
      return {0xB0, 0xD0, 0x4F, 0xC2};
    case DeviceQuery::kAtaSmartThresholds:
      return {0xB0, 0xD1, 0x4F, 0xC2};
    case DeviceQuery::kAtaCheckPowerMode:
      return {0xE5, 0, 0, 0};
    default:
      return {0xEC, 0, 0, 0};
  }
}

// The sense key of fixed (70h/71h) or descriptor (72h/73h) sense data.
uint8_t SenseKey(const uint8_t* sense, unsigned length) {
  if (length <= 2) return 0;
  return (sense[0] & 0x7E) == 0x72 ? sense[1] & 0x0F : sense[2] & 0x0F;
}

// One ATA command through the SCSI ATA PASS-THROUGH (16) command (SAT-4, 12.2.2), which
// libata, SAT bridges and USB enclosures that speak SAT accept: a 512-byte PIO data-in read,
// or CHECK POWER MODE, a non-data command whose answer is in the returned ATA registers.
Answer<std::string> AtaPassThrough(int fd, DeviceQuery q, const std::string& source) {
  const AtaCommand c = AtaCommandOf(q);
  const bool registers = q == DeviceQuery::kAtaCheckPowerMode;
  uint8_t cdb[16] = {};
  cdb[0] = 0x85;  // ATA PASS-THROUGH (16)
  if (registers) {
    cdb[1] = 3 << 1;  // protocol 3: non-data
    cdb[2] = 0x20;    // CK_COND: return the ATA registers as sense data
  } else {
    cdb[1] = 4 << 1;  // protocol 4: PIO data-in
    cdb[2] = 0x0E;    // T_DIR from device, BYT_BLOK blocks, T_LENGTH in the count field
    cdb[6] = 1;       // one sector
  }
  cdb[4] = c.features;
  cdb[10] = c.lbaMid;
  cdb[12] = c.lbaHigh;
  cdb[13] = 0;  // device
  cdb[14] = c.command;
  std::string data(registers ? 0 : 512, '\0');
  uint8_t sense[32] = {};
  sg_io_hdr_t io{};
  io.interface_id = 'S';
  io.dxfer_direction = registers ? SG_DXFER_NONE : SG_DXFER_FROM_DEV;
  io.cmd_len = sizeof cdb;
  io.cmdp = cdb;
  io.dxfer_len = static_cast<unsigned>(data.size());
  io.dxferp = registers ? nullptr : data.data();
  io.mx_sb_len = sizeof sense;
  io.sbp = sense;
  io.timeout = 3000;  // ms, the kernel's own limit on the command
  if (::ioctl(fd, SG_IO, &io) != 0) return {std::nullopt, DeviceCommandFailure(errno, source)};
  const uint8_t key = SenseKey(sense, io.sb_len_wr);
  if (key == 5)
    return Answer<std::string>::Fail(Status::NotSupported, source,
                                     "the device does not take this ATA command");
  if (registers) {
    // With CK_COND the answer comes back as "recovered error, ATA pass-through information
    // available" carrying the registers; a bridge that drops them gave no answer to read.
    const auto count = AtaCountFromSense({sense, std::min<std::size_t>(io.sb_len_wr, 32)});
    if (!count)
      return Answer<std::string>::Fail(Status::NotSupported, source,
                                       "the device returned no ATA registers");
    return Answer<std::string>::Of(std::string(1, static_cast<char>(*count)), source);
  }
  if ((io.info & SG_INFO_OK_MASK) != SG_INFO_OK && key != 1 /* recovered error */)
    return Answer<std::string>::Fail(Status::Failed, source,
                                     "the command failed (status " + std::to_string(io.status) +
                                         ", sense key " + std::to_string(key) + ")");
  return Answer<std::string>::Of(std::move(data), source);
}

Answer<std::string> NvmeAdmin(int fd, DeviceQuery q, const std::string& source) {
  const bool identify = q == DeviceQuery::kNvmeIdentifyController;
  std::string data(identify ? 4096 : 512, '\0');
  nvme_admin_cmd cmd{};
  if (identify) {
    cmd.opcode = 0x06;  // Identify
    cmd.cdw10 = 1;      // CNS 01h: the controller
  } else {
    cmd.opcode = 0x02;                         // Get Log Page
    cmd.nsid = 0xFFFFFFFF;                     // the controller as a whole
    cmd.cdw10 = 0x02 | ((512 / 4 - 1) << 16);  // log 02h, dwords to read less one
  }
  cmd.addr = reinterpret_cast<uintptr_t>(data.data());
  cmd.data_len = static_cast<uint32_t>(data.size());
  cmd.timeout_ms = 3000;
  const int rc = ::ioctl(fd, NVME_IOCTL_ADMIN_CMD, &cmd);
  if (rc < 0) return {std::nullopt, DeviceCommandFailure(errno, source)};
  if (rc > 0)
    return Answer<std::string>::Fail(Status::Failed, source,
                                     "the controller answered status " + std::to_string(rc));
  return Answer<std::string>::Of(std::move(data), source);
}

class LiveStorageProbes : public StorageProbes {
 public:
  LiveStorageProbes(StatLimits limits, StatFunction stat)
      : limits_(limits), stat_(stat ? std::move(stat) : StatFunction(&::statvfs)) {}

  Answer<FsStats> Stat(const std::string& mountPoint, bool network) const override {
    const std::string source = "statvfs " + mountPoint;
    // Owned by the probe thread too: a hung statvfs outlives this call.
    auto result = std::make_shared<std::pair<int, struct statvfs>>();
    auto stat = stat_;
    const auto run = base::RunWithTimeLimit(
        [result, stat, mountPoint] {
          errno = 0;
          result->first =
              stat(mountPoint.c_str(), &result->second) == 0 ? 0 : (errno ? errno : EIO);
        },
        network ? limits_.network : limits_.local);
    if (run.outcome == base::RunOutcome::TimedOut)
      return Answer<FsStats>::Fail(Status::TimedOut, source, "the file system does not answer");
    if (run.outcome == base::RunOutcome::Failed)
      return Answer<FsStats>::Fail(Status::Failed, source, run.error);
    if (result->first != 0)
      return Answer<FsStats>::Fail(StatusFromErrno(result->first), source,
                                   std::strerror(result->first));
    const struct statvfs& s = result->second;
    FsStats f;
    f.blockSize = s.f_bsize;
    f.fragmentSize = s.f_frsize ? s.f_frsize : s.f_bsize;
    f.blocks = s.f_blocks;
    f.blocksFree = s.f_bfree;
    f.blocksAvailable = s.f_bavail;
    f.files = s.f_files;
    f.filesFree = s.f_ffree;
    f.filesAvailable = s.f_favail;
    f.fileSystemId = s.f_fsid;
    f.flags = s.f_flag;
    f.nameMax = s.f_namemax;
    return Answer<FsStats>::Of(f, source);
  }

  Answer<std::string> Command(const std::string& name, DeviceQuery query) const override {
    const std::string node = "/dev/" + name;
    const std::string source =
        std::string(IsNvmeQuery(query) ? "NVMe admin command " : "ATA pass-through ") +
        std::string(DeviceQueryName(query)) + " on " + node;
    if (name.empty() || name.find('/') != std::string::npos)
      return Answer<std::string>::Fail(Status::Missing, source, "no such device");
    auto result =
        std::make_shared<Answer<std::string>>(Answer<std::string>::Fail(Status::Failed, source));
    const auto run = base::RunWithTimeLimit(
        [result, node, query, source] {
          DeviceFd fd(node);
          if (fd.get() < 0) {
            *result = {std::nullopt, DeviceCommandFailure(errno, source)};
            return;
          }
          *result = IsNvmeQuery(query) ? NvmeAdmin(fd.get(), query, source)
                                       : AtaPassThrough(fd.get(), query, source);
        },
        std::chrono::milliseconds(5000));
    if (run.outcome == base::RunOutcome::TimedOut)
      return Answer<std::string>::Fail(Status::TimedOut, source, "the device does not answer");
    return *result;
  }

 private:
  StatLimits limits_;
  StatFunction stat_;
};

}  // namespace

Provenance DeviceCommandFailure(int err, const std::string& source) {
  switch (err) {
    case EPERM:
    case EACCES:
      // Root is refused too where a container or the device cgroup keeps raw access away.
      return Provenance::Failure(
          Status::PermissionDenied, source,
          ::geteuid() == 0 ? "refused even to root (" + std::string(std::strerror(err)) + ")"
                           : "needs root or membership of the disk group");
    case ENOENT:
    case ENXIO:
    case ENODEV:
      return Provenance::Failure(Status::Missing, source, "the device is gone");
    case ENOTTY:
    case EINVAL:
    case EOPNOTSUPP:
      return Provenance::Failure(
          Status::NotSupported, source,
          "the device does not take this command (" + std::string(std::strerror(err)) + ")");
    default:
      return Provenance::Failure(StatusFromErrno(err), source, std::strerror(err));
  }
}

std::optional<uint8_t> AtaCountFromSense(std::span<const uint8_t> sense) {
  if (sense.size() < 8) return std::nullopt;
  const uint8_t format = sense[0] & 0x7F;
  if (format == 0x72 || format == 0x73) {
    // Descriptor sense: find the ATA Status Return descriptor (code 09h, 12 bytes after its
    // header); its byte 5 is the Count register's low byte.
    const std::size_t end = std::min<std::size_t>(sense.size(), 8u + sense[7]);
    for (std::size_t at = 8; at + 2 <= end; at += 2u + sense[at + 1]) {
      if (sense[at] == 0x09 && sense[at + 1] >= 0x0C && at + 14 <= end) return sense[at + 5];
    }
    return std::nullopt;
  }
  if (format == 0x70 || format == 0x71) {
    // Fixed sense keeps ERROR, STATUS, DEVICE and COUNT in the information bytes 3 to 6, and
    // only says so by ASC/ASCQ 00h/1Dh (ATA pass-through information available).
    if (sense.size() < 14 || sense[12] != 0x00 || sense[13] != 0x1D) return std::nullopt;
    return sense[6];
  }
  return std::nullopt;
}

Answer<WindowsVolumes> StorageProbes::Windows() const {
  return Answer<WindowsVolumes>::Fail(Status::NotSupported, "drive letters",
                                      "this system names file systems by mount point");
}

std::shared_ptr<const StorageProbes> MakeLiveStorageProbes(StatLimits limits, StatFunction stat) {
  return std::make_shared<LiveStorageProbes>(limits, std::move(stat));
}

}  // namespace tavrin::platform
