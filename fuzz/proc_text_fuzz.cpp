// libFuzzer target: the parsers of the process file system's texts (a process's stat, status,
// statm, io, maps and command line; the memory summary; the processor times; the auxiliary
// vector; account, module dependency and unit files), each over the same arbitrary input.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/linux/proc_text.h"

using namespace tavrin::platform::proc;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::size_t sum = 0;
  if (auto st = ParseProcStat(text)) sum += st->comm.size() + st->threads;
  const ProcStatus status = ParseProcStatus(text);
  sum += status.name.size() + status.groups.size();
  sum += ParseStatmResident(text).value_or(0);
  if (auto io = ParseProcIo(text)) sum += io->readBytes;
  for (const auto& m : ParseModuleMaps(text)) sum += m.name.size() + m.size;
  sum += ParseCommandLine(text).size();
  sum += MemoryStatusFromMemInfo(ParseMemInfo(text)).memoryLoad;
  sum += ParseCpuTimes(text, 100).idle.size();
  sum += ParseAuxVector(text).pageSize.value_or(0);
  sum += UserAddressSpaceTop(text).value_or(0);
  sum += ParseAccountNames(text).size() + ParseModuleFiles(text).size();
  sum += ParseUnitFile(text).execStart.size();
  return sum == 1 ? 0 : 0;
}
