// Method calls on the system bus through libdbus-1, bound at run time. A reply comes back as
// plain values, so the callers read BlueZ and UPower answers without the library's types.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/provenance.h"

namespace tavrin::platform {

/// One D-Bus value: a basic value, or a container (array, struct, dict entry, variant) with
/// its items. `type` is the D-Bus type code: 's', 'o', 'b', 'u', 'x', 'd', 'a', 'e', 'r', 'v' ...
struct DbusValue {
  char type = 0;
  std::string text;     ///< strings, object paths, signatures
  int64_t integer = 0;  ///< every integer type, and booleans as 0 or 1
  double real = 0;      ///< doubles
  std::vector<DbusValue> items;

  /// In a dictionary (an array of dict entries with string keys): the value for `key`,
  /// looking through a variant; null when there is none.
  const DbusValue* Find(std::string_view key) const;
};

struct DbusCall {
  std::string destination, path, interface, method;
  std::vector<std::string> arguments;  ///< string arguments, in order
};

/// Calls `call` on the system bus and waits at most `timeout` for the reply. Missing without
/// the library, the bus or the service; TimedOut when nothing answers in time.
Answer<std::vector<DbusValue>> CallSystemBus(const DbusCall& call,
                                             std::chrono::milliseconds timeout);

}  // namespace tavrin::platform
