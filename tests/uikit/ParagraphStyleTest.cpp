// Line spacing of attributed text: the paragraph style's value, how text measuring and a label's
// layout honour it, and where a label's plain text leaves it out.

#include <cmath>

#include "uikit/UIKitFixture.h"

namespace {
// Six CJK characters that wrap into three lines of 16.8 points in a 28-point-wide 14-point label.
const char* const kThreeLines = "一二三四五六";

std::shared_ptr<NSMutableAttributedString> spaced(const std::string& text, double spacing) {
  auto style = NSMutableParagraphStyle::create();
  style->setLineSpacing(spacing);
  auto attributed = NSMutableAttributedString::create(text);
  attributed->addAttribute(NSParagraphStyleAttributeName, style,
                           NSMakeRange(0, attributed->length()));
  return attributed;
}

std::shared_ptr<UILabel> wrappingLabel(CGRect frame) {
  auto label = UILabel::create(frame);
  label->setFont(UIFont::systemFontOfSize(14));
  label->setNumberOfLines(0);
  return label;
}
}  // namespace

TEST(ParagraphStyleTest, TheSpacingIsNeverNegativeAndComesFromTheStyleAtTheFirstCharacter) {
  auto style = NSMutableParagraphStyle::create();
  EXPECT_EQ(style->lineSpacing(), 0);
  style->setLineSpacing(-4);
  EXPECT_EQ(style->lineSpacing(), 0);
  style->setLineSpacing(std::nan(""));
  EXPECT_EQ(style->lineSpacing(), 0);

  EXPECT_EQ(spaced("abc", 3)->lineSpacing(), 3);
  EXPECT_EQ(NSAttributedString::create("abc")->lineSpacing(), 0);
  EXPECT_EQ(NSAttributedString::create("")->lineSpacing(), 0);
  // A style over a later part of the text does not space the block.
  auto late = NSMutableAttributedString::create("abc");
  auto wide = NSMutableParagraphStyle::create();
  wide->setLineSpacing(9);
  late->addAttribute(NSParagraphStyleAttributeName, wide, NSMakeRange(1, 2));
  EXPECT_EQ(late->lineSpacing(), 0);
  // A copy keeps the style.
  EXPECT_EQ(spaced("abc", 3)->copy()->lineSpacing(), 3);
}

TEST(ParagraphStyleTest, MeasuresAddTheSpacingBetweenLinesOnly) {
  auto font = UIFont::systemFontOfSize(14);
  EXPECT_DOUBLE_EQ(TextMeasure::heightOfLines(0, font, 3), 0);
  EXPECT_DOUBLE_EQ(TextMeasure::heightOfLines(1, font, 3), 16.8);
  EXPECT_DOUBLE_EQ(TextMeasure::heightOfLines(3, font, 3), 3 * 16.8 + 2 * 3);
  EXPECT_DOUBLE_EQ(TextMeasure::sizeOfText(kThreeLines, font, 28, 0, 3).height, 56.4);
  EXPECT_DOUBLE_EQ(TextMeasure::sizeOfText(kThreeLines, font, 28, 0).height, 50.4);
  // The last line needs no spacing under it: three lines fit 56.4 points exactly, not 56.3.
  EXPECT_EQ(TextMeasure::linesInHeight(56.4, font, 3), 3u);
  EXPECT_EQ(TextMeasure::linesInHeight(56.3, font, 3), 2u);
  EXPECT_EQ(TextMeasure::linesInHeight(50.4, font, 0), 3u);
  EXPECT_EQ(TextMeasure::linesInHeight(10, font, 3), 0u);
  EXPECT_EQ(TextMeasure::linesInHeight(0, font, 3), 0u);
}

TEST(ParagraphStyleTest, ALabelSpacesItsAttributedLinesInItsSizeAndLayoutButNotItsPlainText) {
  auto label = wrappingLabel(CGRectMake(0, 0, 28, 200));
  label->setAttributedText(spaced(kThreeLines, 3));
  EXPECT_EQ(label->lineSpacing(), 3);
  EXPECT_EQ(label->sizeThatFits(CGSizeMake(28, 0)), CGSizeMake(28, 57));  // 56.4 rounded up
  ASSERT_EQ(label->visibleLineTops().size(), 3u);
  EXPECT_DOUBLE_EQ(label->visibleLineTops()[1], 19.8);
  EXPECT_DOUBLE_EQ(label->visibleLineTops()[2], 39.6);
  // A height that holds three plain lines holds two spaced ones.
  label->setFrame(CGRectMake(0, 0, 28, 50.4));
  EXPECT_EQ(label->visibleLines(), (std::vector<std::string>{"一二", "三四"}));
  label->sizeToFit();
  EXPECT_EQ(label->visibleLines().size(), 3u);

  // A single line is as high as without spacing; plain text drops the style.
  auto one = wrappingLabel(CGRectMake(0, 0, 200, 100));
  one->setAttributedText(spaced("一二", 3));
  EXPECT_EQ(one->sizeThatFits(CGSizeMake(200, 0)).height, 17);
  label->setText(kThreeLines);
  EXPECT_EQ(label->lineSpacing(), 0);
  EXPECT_EQ(label->sizeThatFits(CGSizeMake(28, 0)).height, 51);
  EXPECT_DOUBLE_EQ(label->visibleLineTops()[1], 16.8);
}
