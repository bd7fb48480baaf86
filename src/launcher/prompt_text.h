// The launcher's one-line input window.
#pragma once
#include <functional>
#include <string>

namespace ql {

// Why a text cannot be taken: the message shown, or empty to take it.
using PromptCheck = std::function<std::string(const std::string& text)>;

// Asks for a line of text in a small modal window over the control window,
// starting with `initial`. Returns the text, or empty text when cancelled.
// A text that is an existing category's name (blanks around it aside), or
// that `check` refuses, is refused with a message and the window stays open.
std::string promptText(const std::string& prompt, const std::string& initial,
                       const PromptCheck& check = nullptr);

}  // namespace ql
