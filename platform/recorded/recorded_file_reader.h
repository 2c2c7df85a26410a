// Files of a snapshot: the copied tree under files/, and files.json for what a copied tree
// cannot hold faithfully (directory listings, link targets, reads that failed and why).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/file_reader.h"

namespace tavrin::platform {

struct RecordedFilesIndex {
  std::map<std::string, std::vector<std::string>> dirs;
  std::map<std::string, std::string> links;
  std::map<std::string, Provenance> failed;
  /// Birth times as the recording machine answered them (a copy's own would be of the copy).
  std::map<std::string, Answer<int64_t>> births;
};

class RecordedFileReader : public FileReader {
 public:
  RecordedFileReader(std::filesystem::path filesRoot, RecordedFilesIndex index);

  Answer<std::string> ReadFile(std::string_view path, std::size_t limit) const override;
  Answer<std::vector<std::string>> ListDir(std::string_view path) const override;
  Answer<std::string> ReadLink(std::string_view path) const override;
  Answer<int64_t> BirthTime(std::string_view path) const override;

 private:
  std::optional<Provenance> RecordedFailure(std::string_view path) const;
  RecordedFilesIndex index_;
};

}  // namespace tavrin::platform
