#include "platform/uikit/TextEditing.h"

#include "platform/foundation/NSString.h"

namespace TextEditing {

namespace {
NSRange clampUnits(size_t size, NSRange range) {
  if (range.location > size) range.location = size;
  if (range.length > size - range.location) range.length = size - range.location;
  return range;
}
}  // namespace

NSRange clamp(const std::string& text, NSRange range) {
  return clampUnits(NSString::length(text), range);
}

std::string replace(const std::string& text, NSRange range, const std::string& replacement,
                    size_t& caret) {
  std::u16string units = NSString::toUTF16(text);
  range = clampUnits(units.size(), range);
  const std::u16string repl = NSString::toUTF16(replacement);
  units.replace(range.location, range.length, repl);
  caret = range.location + repl.size();
  return NSString::fromUTF16(units);
}

NSRange deletionRange(const std::string& text, NSRange selection) {
  if (selection.length > 0) return selection;
  if (selection.location == 0) return NSRange{0, 0};
  const std::u16string units = NSString::toUTF16(text);
  const size_t at = selection.location;
  size_t len = 1;
  if (at >= 2 && at <= units.size() && units[at - 1] >= 0xDC00 && units[at - 1] <= 0xDFFF &&
      units[at - 2] >= 0xD800 && units[at - 2] <= 0xDBFF)
    len = 2;
  return NSRange{at - len, len};
}

}  // namespace TextEditing
