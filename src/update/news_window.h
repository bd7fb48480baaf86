// The small news popup at the bottom right of the work area.
#pragma once

namespace ql {

// Opened once by the control window's deferred start-up work.
void showNewsWindow();

}  // namespace ql
