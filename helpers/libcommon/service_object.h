// Reference counting for the services a helper library hands out. Each service is one
// object that lives as long as the library, so Release only counts down; the count still
// tells whether the program balanced its references.
#pragma once

#include <atomic>
#include <cstdint>
#include <string_view>

#include "helpers/common/guid.h"
#include "helpers/interfaces.h"

namespace tavrin::helpers {

template <class Interface>
class ServiceObject : public Interface {
 public:
  explicit ServiceObject(std::string_view guid) : guid_(guid) {}

  int32_t QueryInterface(std::string_view guid, void** object) override {
    if (!object) return kQueryInvalidArgument;
    *object = nullptr;
    if (!SameGuid(guid, guid_) && !SameGuid(guid, guid::kUnknown)) return kQueryNoInterface;
    AddRef();
    *object = static_cast<Unknown*>(this);
    return kQueryOk;
  }
  uint32_t AddRef() override { return ++references_; }
  uint32_t Release() override { return --references_; }

  std::string_view Guid() const { return guid_; }

  /// What GetInstance returns: an added reference, as Unknown*.
  void* NewReference() {
    AddRef();
    return static_cast<Unknown*>(this);
  }

 protected:
  ~ServiceObject() = default;

 private:
  std::string_view guid_;
  std::atomic<uint32_t> references_{0};
};

}  // namespace tavrin::helpers
