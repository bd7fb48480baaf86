// The player library packed as a compressed block (compressed_block.h). The
// definition is generated at build time from the freshly built qlswf.dll.
#pragma once
#include <cstddef>

namespace ql {

extern const unsigned char kEmbeddedPlayerLibrary[];
extern const size_t kEmbeddedPlayerLibrarySize;

}  // namespace ql
