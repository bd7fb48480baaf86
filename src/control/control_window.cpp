#include "control/control_window.h"

namespace ql {

void onControlWindowCreated(HWND) {}

}  // namespace ql
