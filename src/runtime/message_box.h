// Message boxes of the runtime. A box answers with the pressed button's
// system identifier minus 1: OK 0, Cancel 1, Abort 2, Retry 3, Ignore 4, Yes 5, No 6.
#pragma once
#include <string>

namespace ql {

constexpr int kAnswerOk = 0, kAnswerCancel = 1, kAnswerAbort = 2, kAnswerRetry = 3,
              kAnswerIgnore = 4, kAnswerYes = 5, kAnswerNo = 6;

inline int answerFromButtonId(int buttonId) { return buttonId - 1; }

#ifdef _WIN32
// A system message box owned by `owner` (may be null); the runtime's title is "信息".
int showMessageBox(void* owner, const std::string& text, unsigned flags,
                   const std::string& title = "信息");
#endif

}  // namespace ql
