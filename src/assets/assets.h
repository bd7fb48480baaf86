// Pictures carried inside qinglan.exe as resources (ids in asset_ids.h).
#pragma once
#include "assets/asset_ids.h"
#include "runtime/files.h"

namespace ql {

// The bytes of the program's RCDATA resource `id` (a PNG or JPEG file's
// content); empty when the resource is missing.
Bytes assetBytes(int id);

}  // namespace ql
