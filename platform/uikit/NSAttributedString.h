#pragma once
// Attributed text: a UTF-8 string plus attributes over ranges of UTF-16 code units.
// Attribute values are objects (colours, fonts, paragraph styles); numbers travel as
// NSNumberAttribute.

#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/NSObject.h"
#include "platform/uikit/CGGeometry.h"

class UIColor;
class UIFont;

extern const std::string NSForegroundColorAttributeName;
extern const std::string NSBackgroundColorAttributeName;
extern const std::string NSFontAttributeName;
extern const std::string NSUnderlineStyleAttributeName;  // value: NSNumberAttribute

// A boxed number for attributes such as the underline style.
class NSNumberAttribute : public NSObject {
  TOVIRA_CLASS(NSNumberAttribute)
 public:
  explicit NSNumberAttribute(double v) : value(v) {}
  double value;
};

// value: NSParagraphStyle. Text that lays out in one block (a label) takes the style in force at
// its first character for the whole block.
extern const std::string NSParagraphStyleAttributeName;

// How the lines of a paragraph are laid out. Of the platform's settings only the spacing between
// lines is kept: each line after the first starts lineSpacing points below the bottom of the line
// before it. A style is shared, not copied, by the texts it is added to.
class NSParagraphStyle : public NSObject {
  TOVIRA_CLASS(NSParagraphStyle)
 public:
  double lineSpacing() const { return lineSpacing_; }

 protected:
  double lineSpacing_ = 0;
};

class NSMutableParagraphStyle : public NSParagraphStyle {
  TOVIRA_CLASS(NSMutableParagraphStyle)
 public:
  static std::shared_ptr<NSMutableParagraphStyle> create();
  // The spacing is never negative, as on the platform: a negative value is taken as 0.
  void setLineSpacing(double spacing);
};

struct NSAttributeRun {
  std::string name;
  std::shared_ptr<NSObject> value;
  NSRange range;  // UTF-16 units, clamped to the text
};

class NSAttributedString : public NSObject {
  TOVIRA_CLASS(NSAttributedString)
 public:
  NSAttributedString() = default;
  explicit NSAttributedString(std::string text);
  static std::shared_ptr<NSAttributedString> create(const std::string& text);

  const std::string& string() const { return text_; }
  size_t length() const;  // UTF-16 units
  // Attribute runs in the order they were added; later runs win where they overlap.
  const std::vector<NSAttributeRun>& runs() const { return runs_; }
  // The value in force at a UTF-16 index (nullptr when none).
  std::shared_ptr<NSObject> attributeAtIndex(const std::string& name, size_t index) const;
  std::shared_ptr<UIColor> colorAtIndex(size_t index) const;  // foreground colour
  // The line spacing of the paragraph style at the first character; 0 without one (or text).
  double lineSpacing() const;

  // Foreground colour over maximal ranges where it is set, in text order, for dumps and tests.
  struct ColorRange {
    NSRange range;
    std::shared_ptr<UIColor> color;
  };
  std::vector<ColorRange> colorRanges() const;
  std::shared_ptr<NSAttributedString> copy() const;

 protected:
  std::string text_;
  std::vector<NSAttributeRun> runs_;
};

class NSMutableAttributedString : public NSAttributedString {
  TOVIRA_CLASS(NSMutableAttributedString)
 public:
  using NSAttributedString::NSAttributedString;
  static std::shared_ptr<NSMutableAttributedString> create(const std::string& text);
  // A range reaching past the end is clamped (the platform would raise; we keep going and log).
  void addAttribute(const std::string& name, std::shared_ptr<NSObject> value, NSRange range);
  void removeAttribute(const std::string& name, NSRange range);
  void setString(const std::string& text);  // drops every attribute
  void appendString(const std::string& text);
};

// Links and attachments, which a text view offers to its delegate when they are tapped.
class NSURL;
class UIImage;

extern const std::string NSLinkAttributeName;        // value: NSLinkAttribute
extern const std::string NSAttachmentAttributeName;  // value: NSTextAttachment

// A boxed URL for the link attribute.
class NSLinkAttribute : public NSObject {
  TOVIRA_CLASS(NSLinkAttribute)
 public:
  explicit NSLinkAttribute(std::shared_ptr<NSURL> u) : url(std::move(u)) {}
  std::shared_ptr<NSURL> url;
};

// An image (or other content) that stands in the text at one character.
class NSTextAttachment : public NSObject {
  TOVIRA_CLASS(NSTextAttachment)
 public:
  NSTextAttachment() = default;
  std::shared_ptr<UIImage> image() const { return image_; }
  void setImage(std::shared_ptr<UIImage> image) { image_ = std::move(image); }
  CGRect bounds() const { return bounds_; }
  void setBounds(CGRect bounds) { bounds_ = bounds; }

 private:
  std::shared_ptr<UIImage> image_;
  CGRect bounds_ = CGRectZero;
};
