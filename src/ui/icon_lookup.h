// How the list's icons are asked of the shell. Asking about a file itself can
// wait on the drive it lies on (a network share that does not answer, a
// removable drive that spins up), and a paint must never wait: targets there
// are looked up by their file type alone. No Win32 here.
#pragma once
#include <string>

namespace ql {

enum class DriveKind { Local, Remote, Removable, Unknown };

// "C:\" for a drive path, "\\server\share\" for a network path ("\\?\" and
// "\\.\" prefixes are skipped), empty when the path names no root.
std::string driveRootOf(const std::string& path);
// A path on a network share is remote whatever its drive letter says.
bool isNetworkPath(const std::string& path);

// True when the shell may read the file itself; false: by its type only.
bool lookUpIconOfFile(DriveKind drive);

}  // namespace ql
