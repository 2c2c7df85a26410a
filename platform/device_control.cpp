#include "platform/device_control.h"

namespace tavrin::platform {

Provenance ControlReply::Source(std::string_view what) const {
  if (ok) return Provenance::Answered(std::string(what));
  const Status status = error == 2 || error == 3    ? Status::Missing
                        : error == 5                ? Status::PermissionDenied
                        : error == 1 || error == 50 ? Status::NotSupported
                                                    : Status::Failed;
  return Provenance::Failure(
      status, std::string(what),
      "error " + std::to_string(error) + (message.empty() ? std::string() : " (" + message + ")"));
}

std::string ControlKey(uint32_t code, std::string_view input) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string key;
  for (int shift = 28; shift >= 0; shift -= 4)
    if (uint32_t digit = (code >> shift) & 0xF; digit != 0 || !key.empty() || shift == 0)
      key += kHex[digit];
  if (input.empty()) return key;
  key += ':';
  for (unsigned char c : input) {
    key += kHex[c >> 4];
    key += kHex[c & 0xF];
  }
  return key;
}

}  // namespace tavrin::platform
