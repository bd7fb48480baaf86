#include "assets/assets.h"

#include <windows.h>

namespace ql {

Bytes assetBytes(int id) {
  // Resources of the executable itself: they stay mapped while it runs, so
  // LockResource's pointer needs no freeing; the caller gets its own copy.
  HRSRC found = FindResource(nullptr, MAKEINTRESOURCE(id), RT_RCDATA);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(nullptr, found);
  DWORD size = SizeofResource(nullptr, found);
  const uint8_t* data = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
  if (!data || size == 0) return {};
  return Bytes(data, data + size);
}

}  // namespace ql
