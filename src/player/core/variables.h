// Timeline variables by path, as text fields bound to them read and write
// them: "name", "clip.name", "_root.clip.name", "_parent.name", and the
// slash form "/clip:name" or "../:name".
#pragma once
#include <string>

namespace player {

class SpriteInstance;

// False when the path names no timeline or the variable is not set.
bool readVariable(SpriteInstance& base, const std::string& path, std::string* value);
// False when the path names no timeline.
bool writeVariable(SpriteInstance& base, const std::string& path, const std::string& value);

}  // namespace player
