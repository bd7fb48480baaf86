#include "control/page_view.h"

namespace ql {

PageView& pageView() {
  static PageView view;
  return view;
}

}  // namespace ql
