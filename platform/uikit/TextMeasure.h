#pragma once
// The deterministic text measure used by labels, buttons, fields and text views instead of
// real glyph metrics, so that layouts are the same on every machine:
//  - a UTF-16 code unit below U+0080 (ASCII) is 0.55 x the font size wide;
//  - every other character (CJK, other letters, symbols) is 1.0 x the font size wide; a
//    character made of a surrogate pair counts once;
//  - a line is 1.2 x the font size high; with a line spacing (a paragraph style's), each line
//    after the first starts that many points below the bottom of the line before;
//  - wrapping (when a width is given) breaks before the character that would overflow the
//    line; "\n" always breaks; a line never starts empty because of wrapping.

#include <memory>
#include <string>
#include <vector>

#include "platform/uikit/CGGeometry.h"

class UIFont;

class TextMeasure {
 public:
  static double widthOfText(const std::string& text, double fontSize);
  static double widthOfText(const std::string& text, const std::shared_ptr<UIFont>& font);
  static double lineHeight(const std::shared_ptr<UIFont>& font);
  // Lines after wrapping at maxWidth (<= 0: no wrapping). numberOfLines 0 means no limit.
  static std::vector<std::string> lines(const std::string& text,
                                        const std::shared_ptr<UIFont>& font, double maxWidth,
                                        long numberOfLines = 0);
  // The height of `count` lines: count x line height + (count - 1) x lineSpacing; 0 for none.
  static double heightOfLines(size_t count, const std::shared_ptr<UIFont>& font,
                              double lineSpacing = 0);
  // How many whole lines fit in `height` with that spacing (0 when not even one does).
  static size_t linesInHeight(double height, const std::shared_ptr<UIFont>& font,
                              double lineSpacing = 0);
  // The size of the text block: the widest line by heightOfLines of its lines; an empty text
  // is 0 x 0.
  static CGSize sizeOfText(const std::string& text, const std::shared_ptr<UIFont>& font,
                           double maxWidth = 0, long numberOfLines = 0, double lineSpacing = 0);
};
