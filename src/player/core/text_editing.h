// What typing does to the input field that has the focus: characters go in
// at the caret in place of the selection, within the field's `restrict`
// pattern and maxChars; the editing keys move the caret and delete.
#pragma once
#include <string>

namespace player {

class TextField;

enum class EditOutcome { None, Moved, Changed };

// Typed UTF-16 units (a surrogate pair whole). CR or LF breaks the line in
// multiline fields only; other control characters are ignored (their keys
// act through `editKey`).
EditOutcome typeText(TextField& field, const std::u16string& typed);

// Left, Right, Home, End, Backspace, Delete by their Windows virtual-key
// codes; with `shift`, moves extend the selection.
EditOutcome editKey(TextField& field, int keyCode, bool shift);

}  // namespace player
