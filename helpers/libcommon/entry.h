// The one export of every helper library.
#pragma once

#include <cstdint>

/// The interface named by `guid` ("{...}", zero-terminated UTF-16, any case) as an added
/// reference to its Unknown*, or null when this library does not offer it. `flags` are
/// reserved.
extern "C" __attribute__((visibility("default"))) void* GetInstance(const char16_t* guid,
                                                                    uint32_t flags);
