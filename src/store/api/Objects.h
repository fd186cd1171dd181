// Note objects: data stored beside notes and referred to by identifier.
#pragma once

#include <cstddef>
#include <cstdint>

#include "store/api/Handles.h"
#include "store/api/Memory.h"
#include "store/api/Status.h"

namespace store {

// classMask 0xFFFF accepts any object; otherwise the object's class must share a bit with it.
// kObjectNotFound for an unknown identifier.
Status ObjectInfo(DbHandle db, std::uint32_t objectId, std::uint16_t classMask, std::uint32_t* size,
                  std::uint16_t* objectClass, std::uint16_t* privileges);
// A new block of `length` bytes from `offset`; kBadRange when that reaches past the object.
Status ObjectRead(DbHandle db, std::uint32_t objectId, std::uint32_t offset, std::uint32_t length,
                  MemHandle* data);

} // namespace store
