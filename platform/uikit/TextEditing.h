#pragma once
// Editing arithmetic shared by text fields and text views: ranges are in UTF-16 units, and a
// surrogate pair is deleted as one character, never halved.

#include <string>

#include "platform/uikit/CGGeometry.h"

namespace TextEditing {

// The range cut to the text's length.
NSRange clamp(const std::string& text, NSRange range);
// The text with the (clamped) range replaced; `caret` receives the position after the
// replacement.
std::string replace(const std::string& text, NSRange range, const std::string& replacement,
                    size_t& caret);
// What the delete key removes: the selection, or the character before the caret. Length 0 when
// there is nothing to delete.
NSRange deletionRange(const std::string& text, NSRange selection);

}  // namespace TextEditing
