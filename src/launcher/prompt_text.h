// The launcher's one-line input window.
#pragma once
#include <string>

namespace ql {

// Asks for a line of text in a small modal window over the control window,
// starting with `initial`. Returns the text, or empty text when cancelled.
// A text equal to an existing category's name is refused.
std::string promptText(const std::string& prompt, const std::string& initial);

}  // namespace ql
