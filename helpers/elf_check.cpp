#include "helpers/elf_check.h"

#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace tavrin::helpers {
namespace {

// The ELF layout of the program's own word size (System V ABI, ELF object file format).
#if __SIZEOF_POINTER__ == 8
using Ehdr = Elf64_Ehdr;
using Phdr = Elf64_Phdr;
constexpr unsigned char kClass = ELFCLASS64;
#else
using Ehdr = Elf32_Ehdr;
using Phdr = Elf32_Phdr;
constexpr unsigned char kClass = ELFCLASS32;
#endif

#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr unsigned char kData = ELFDATA2LSB;
#else
constexpr unsigned char kData = ELFDATA2MSB;
#endif

#if defined(__x86_64__)
constexpr int kMachine = EM_X86_64;
#elif defined(__i386__)
constexpr int kMachine = EM_386;
#elif defined(__aarch64__)
constexpr int kMachine = EM_AARCH64;
#elif defined(__arm__)
constexpr int kMachine = EM_ARM;
#elif defined(__riscv)
constexpr int kMachine = EM_RISCV;
#elif defined(__powerpc64__)
constexpr int kMachine = EM_PPC64;
#elif defined(__s390x__)
constexpr int kMachine = EM_S390;
#else
constexpr int kMachine = -1;  // not checked
#endif

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

bool ReadAt(int fd, void* into, std::size_t size, uint64_t offset) {
  auto* at = static_cast<char*>(into);
  while (size > 0) {
    const ssize_t n = ::pread(fd, at, size, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    at += n;
    size -= static_cast<std::size_t>(n);
    offset += static_cast<uint64_t>(n);
  }
  return true;
}

// True when [offset, offset + length) lies within `size` bytes, without overflow.
bool Within(uint64_t offset, uint64_t length, uint64_t size) {
  return offset <= size && length <= size - offset;
}

std::string CutShort(uint64_t size, uint64_t needed) {
  return "cut short: " + std::to_string(size) + " of at least " + std::to_string(needed) + " bytes";
}

}  // namespace

std::string ElfLibraryProblem(const std::filesystem::path& file) {
  // O_NONBLOCK: a FIFO put in the library's place must not hold the start-up.
  const Descriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (fd.get() < 0) return std::strerror(errno);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return std::strerror(errno);
  if (!S_ISREG(st.st_mode)) return "not a regular file";
  const auto size = static_cast<uint64_t>(st.st_size);

  Ehdr header{};
  const std::size_t head = size < sizeof header ? static_cast<std::size_t>(size) : sizeof header;
  if (head < SELFMAG || !ReadAt(fd.get(), &header, head, 0) ||
      std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0)
    return "not an ELF file";
  if (head < sizeof header) return CutShort(size, sizeof header);
  if (header.e_ident[EI_CLASS] != kClass)
    return kClass == ELFCLASS64 ? "a 32-bit library for a 64-bit program"
                                : "a 64-bit library for a 32-bit program";
  if (header.e_ident[EI_DATA] != kData) return "built for the other byte order";
  if (header.e_type != ET_DYN) return "not a shared library";
  if (kMachine >= 0 && header.e_machine != kMachine) return "built for another processor";
  if (header.e_phentsize != sizeof(Phdr) || header.e_phnum == 0) return "no usable program headers";

  const uint64_t table = uint64_t{header.e_phnum} * sizeof(Phdr);
  if (!Within(header.e_phoff, table, size)) return CutShort(size, header.e_phoff + table);
  std::vector<Phdr> segments(header.e_phnum);
  if (!ReadAt(fd.get(), segments.data(), table, header.e_phoff)) return "unreadable headers";
  uint64_t needed = 0;
  for (const Phdr& segment : segments) {
    if (segment.p_type != PT_LOAD && segment.p_type != PT_DYNAMIC) continue;
    if (!Within(segment.p_offset, segment.p_filesz, size))
      return CutShort(size, segment.p_offset + segment.p_filesz);
    needed = std::max<uint64_t>(needed, segment.p_offset + segment.p_filesz);
  }
  if (needed == 0) return "no loadable segments";
  // The section headers come last in the file: a cut that spares every segment shows here.
  if (header.e_shnum > 0) {
    const uint64_t sections = uint64_t{header.e_shnum} * header.e_shentsize;
    if (!Within(header.e_shoff, sections, size)) return CutShort(size, header.e_shoff + sections);
  }
  return {};
}

}  // namespace tavrin::helpers
