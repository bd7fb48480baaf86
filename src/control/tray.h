// The tray icon's events.
#pragma once

namespace ql {

// Left button: show the control window. Right button: the tray menu, its
// animation marks read from "fl配置". Balloon timed out or clicked: stop a
// reminder's sound.
void onTrayEvent(int event);

}  // namespace ql
