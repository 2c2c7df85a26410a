#include "platform/recorded/recorded_file_reader.h"

#include "platform/whole_file.h"

namespace tavrin::platform {

RecordedFileReader::RecordedFileReader(std::filesystem::path filesRoot, RecordedFilesIndex index)
    : FileReader(std::move(filesRoot)), index_(std::move(index)) {}

std::optional<Provenance> RecordedFileReader::RecordedFailure(std::string_view path) const {
  auto it = index_.failed.find(std::string(path));
  if (it == index_.failed.end()) return std::nullopt;
  return it->second;
}

Answer<std::string> RecordedFileReader::ReadFile(std::string_view path, std::size_t limit) const {
  if (auto failure = RecordedFailure(path)) return {std::nullopt, *failure};
  // A snapshot's copies are outside data: a FIFO, a link to a device or a huge sparse file
  // there is refused before reading, as every other snapshot file is.
  WholeFile copy = ReadWholeFileChecked(Resolve(path));
  if (copy.bytes) {
    // A live read stops at the limit, and so does this one.
    if (copy.bytes->size() > limit) copy.bytes->resize(limit);
    return Answer<std::string>::Of(std::move(*copy.bytes), std::string(path));
  }
  // Absent: the same answer the live reader gives, so a replay tells what the recording saw.
  if (copy.missing) return FileReader::ReadFile(path, limit);
  return Answer<std::string>::Fail(
      copy.error.starts_with("unreadable") ? Status::PermissionDenied : Status::Malformed,
      std::string(path), "snapshot copy " + copy.error);
}

Answer<std::vector<std::string>> RecordedFileReader::ListDir(std::string_view path) const {
  if (auto failure = RecordedFailure(path)) return {std::nullopt, *failure};
  auto it = index_.dirs.find(std::string(path));
  if (it != index_.dirs.end()) return Answer<std::vector<std::string>>::Of(it->second, it->first);
  return FileReader::ListDir(path);
}

Answer<std::string> RecordedFileReader::ReadLink(std::string_view path) const {
  if (auto failure = RecordedFailure(path)) return {std::nullopt, *failure};
  auto it = index_.links.find(std::string(path));
  if (it != index_.links.end()) return Answer<std::string>::Of(it->second, it->first);
  return FileReader::ReadLink(path);
}

Answer<int64_t> RecordedFileReader::BirthTime(std::string_view path) const {
  auto it = index_.births.find(std::string(path));
  if (it != index_.births.end()) return it->second;
  return Answer<int64_t>::Fail(Status::NotSupported, "statx " + std::string(path),
                               "not recorded in the snapshot");
}

}  // namespace tavrin::platform
