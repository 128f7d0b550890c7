#include "platform/uikit/NSAttributedString.h"

#include <algorithm>

#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSString.h"
#include "platform/uikit/UIColor.h"

const std::string NSForegroundColorAttributeName = "NSColor";
const std::string NSBackgroundColorAttributeName = "NSBackgroundColor";
const std::string NSFontAttributeName = "NSFont";
const std::string NSUnderlineStyleAttributeName = "NSUnderline";
const std::string NSParagraphStyleAttributeName = "NSParagraphStyle";

std::shared_ptr<NSMutableParagraphStyle> NSMutableParagraphStyle::create() {
  return std::make_shared<NSMutableParagraphStyle>();
}

void NSMutableParagraphStyle::setLineSpacing(double spacing) {
  lineSpacing_ = spacing > 0 ? spacing : 0;
}

NSAttributedString::NSAttributedString(std::string text) : text_(std::move(text)) {}

std::shared_ptr<NSAttributedString> NSAttributedString::create(const std::string& text) {
  return std::make_shared<NSAttributedString>(text);
}

size_t NSAttributedString::length() const { return NSString::length(text_); }

std::shared_ptr<NSObject> NSAttributedString::attributeAtIndex(const std::string& name,
                                                               size_t index) const {
  std::shared_ptr<NSObject> found;
  for (const auto& r : runs_) {
    if (r.name == name && index >= r.range.location && index < NSMaxRange(r.range)) found = r.value;
  }
  return found;
}

std::shared_ptr<UIColor> NSAttributedString::colorAtIndex(size_t index) const {
  return std::dynamic_pointer_cast<UIColor>(
      attributeAtIndex(NSForegroundColorAttributeName, index));
}

double NSAttributedString::lineSpacing() const {
  auto style = std::dynamic_pointer_cast<NSParagraphStyle>(
      attributeAtIndex(NSParagraphStyleAttributeName, 0));
  return style ? style->lineSpacing() : 0;
}

std::vector<NSAttributedString::ColorRange> NSAttributedString::colorRanges() const {
  std::vector<ColorRange> out;
  size_t n = length();
  for (size_t i = 0; i < n; ++i) {
    auto c = colorAtIndex(i);
    if (!c) continue;
    if (!out.empty() && NSMaxRange(out.back().range) == i && out.back().color->isEqual(*c)) {
      out.back().range.length++;
    } else {
      out.push_back({NSRange{i, 1}, c});
    }
  }
  return out;
}

std::shared_ptr<NSAttributedString> NSAttributedString::copy() const {
  auto c = std::make_shared<NSAttributedString>(text_);
  c->runs_ = runs_;
  return c;
}

std::shared_ptr<NSMutableAttributedString> NSMutableAttributedString::create(
    const std::string& text) {
  return std::make_shared<NSMutableAttributedString>(text);
}

void NSMutableAttributedString::addAttribute(const std::string& name,
                                             std::shared_ptr<NSObject> value, NSRange range) {
  size_t n = length();
  if (range.location > n || range.length > n - range.location) {
    // The platform raises an out-of-range exception here; we keep the part inside the text.
    NSLog("NSMutableAttributedString addAttribute: range {%ld, %ld} out of bounds (length %ld)",
          static_cast<long>(range.location), static_cast<long>(range.length), static_cast<long>(n));
    if (range.location > n) return;
    range.length = n - range.location;
  }
  if (range.length == 0) return;
  runs_.push_back({name, std::move(value), range});
}

void NSMutableAttributedString::removeAttribute(const std::string& name, NSRange range) {
  std::vector<NSAttributeRun> kept;
  for (auto& r : runs_) {
    if (r.name != name) {
      kept.push_back(r);
      continue;
    }
    size_t a = r.range.location, b = NSMaxRange(r.range);
    size_t ra = range.location, rb = NSMaxRange(range);
    if (rb <= a || ra >= b) {
      kept.push_back(r);
      continue;
    }
    if (a < ra) kept.push_back({r.name, r.value, NSRange{a, ra - a}});
    if (rb < b) kept.push_back({r.name, r.value, NSRange{rb, b - rb}});
  }
  runs_ = std::move(kept);
}

void NSMutableAttributedString::setString(const std::string& text) {
  text_ = text;
  runs_.clear();
}

void NSMutableAttributedString::appendString(const std::string& text) { text_ += text; }

const std::string NSLinkAttributeName = "NSLink";
const std::string NSAttachmentAttributeName = "NSAttachment";
