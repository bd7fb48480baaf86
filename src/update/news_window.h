// The small news popup in the bottom-right corner of the work area: a page
// of the maker's site, sized by its title, that may jump on to another page;
// a " 关闭" label after 3 seconds, closed 30 seconds after the last page
// finished loading.
#pragma once

namespace ql {

// Opened once by the control window's deferred start-up work.
void showNewsWindow();

}  // namespace ql
