#pragma once
// Fonts: a name, a size and a weight. Text is measured by TextMeasure, not by glyphs.

#include <memory>
#include <string>

#include "platform/foundation/NSObject.h"

class UIFont : public NSObject {
  TOVIRA_CLASS(UIFont)
 public:
  UIFont(std::string name, double size, bool bold);

  static std::shared_ptr<UIFont> systemFontOfSize(double size);      // ".SystemFont"
  static std::shared_ptr<UIFont> boldSystemFontOfSize(double size);  // ".BoldSystemFont"
  // Any name is accepted; names containing "Bold" count as bold.
  static std::shared_ptr<UIFont> fontWithName(const std::string& name, double size);
  // The default font of labels, buttons and fields: system 17.
  static std::shared_ptr<UIFont> defaultFont();

  const std::string& fontName() const { return name_; }
  double pointSize() const { return size_; }
  bool isBold() const { return bold_; }
  double lineHeight() const;  // 1.2 x size
  std::shared_ptr<UIFont> fontWithSize(double size) const;
  bool isEqual(const UIFont& other) const;
  std::string description() const override;  // "system 14", "bold 15", "Helvetica 12"

 private:
  std::string name_;
  double size_;
  bool bold_;
};
