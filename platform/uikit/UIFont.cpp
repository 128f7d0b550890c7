#include "platform/uikit/UIFont.h"

#include "platform/uikit/CGGeometry.h"

UIFont::UIFont(std::string name, double size, bool bold)
    : name_(std::move(name)), size_(size), bold_(bold) {}

std::shared_ptr<UIFont> UIFont::systemFontOfSize(double size) {
  return std::make_shared<UIFont>(".SystemFont", size, false);
}

std::shared_ptr<UIFont> UIFont::boldSystemFontOfSize(double size) {
  return std::make_shared<UIFont>(".BoldSystemFont", size, true);
}

std::shared_ptr<UIFont> UIFont::fontWithName(const std::string& name, double size) {
  return std::make_shared<UIFont>(name, size, name.find("Bold") != std::string::npos);
}

std::shared_ptr<UIFont> UIFont::defaultFont() {
  static const auto font = systemFontOfSize(17);
  return font;
}

double UIFont::lineHeight() const { return size_ * 1.2; }

std::shared_ptr<UIFont> UIFont::fontWithSize(double size) const {
  return std::make_shared<UIFont>(name_, size, bold_);
}

bool UIFont::isEqual(const UIFont& o) const {
  return name_ == o.name_ && size_ == o.size_ && bold_ == o.bold_;
}

std::string UIFont::description() const {
  std::string kind = name_ == ".SystemFont"       ? "system"
                     : name_ == ".BoldSystemFont" ? "bold"
                                                  : name_;
  return kind + " " + CGNumberDescription(size_);
}
