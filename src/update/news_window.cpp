#include "update/news_window.h"

namespace ql {

// The news page is not shown yet.
void showNewsWindow() {}

}  // namespace ql
