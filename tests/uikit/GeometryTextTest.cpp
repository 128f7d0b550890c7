#include <cmath>

#include "uikit/UIKitFixture.h"

TEST(GeometryTest, RectanglesContainPointsOnTheirNearEdgesOnlyAndTravelAsText) {
  CGRect r = CGRectMake(10, 20, 100, 50);
  EXPECT_TRUE(CGRectContainsPoint(r, CGPointMake(10, 20)));
  EXPECT_FALSE(CGRectContainsPoint(r, CGPointMake(110, 20)));
  EXPECT_FALSE(CGRectContainsPoint(r, CGPointMake(10, 70)));
  EXPECT_EQ(CGRectIntersection(r, CGRectMake(100, 60, 50, 50)), CGRectMake(100, 60, 10, 10));
  // Rectangles travel as text and back.
  r = CGRectMake(0, 352, 320, 216.5);
  EXPECT_EQ(NSStringFromCGRect(r), "{{0, 352}, {320, 216.5}}");
  EXPECT_EQ(CGRectFromString(NSStringFromCGRect(r)), r);
  EXPECT_EQ(CGRectFromString("garbage"), CGRectZero);
  EXPECT_EQ(CGRectDescription(CGRectMake(5, 71, 152.5, 30)), "(5,71,152.5,30)");
}

TEST(GeometryTest, TransformsConcatenateAndInvert) {
  auto t = CGAffineTransformConcat(CGAffineTransformMakeScale(2, 2),
                                   CGAffineTransformMakeTranslation(5, 7));
  CGPoint p = CGPointApplyAffineTransform(CGPointMake(1, 1), t);
  EXPECT_EQ(p, CGPointMake(7, 9));
  EXPECT_EQ(CGPointApplyAffineTransform(p, CGAffineTransformInvert(t)), CGPointMake(1, 1));
}

TEST(ColorTest, NamedColoursAndComponentsAreExact) {
  auto green = UIColor::rgb(81, 158, 19);
  EXPECT_EQ(green->description(), "rgb(81,158,19)");
  EXPECT_TRUE(green->isEqual(*UIColor::colorWithRed(81 / 255.0, 158 / 255.0, 19 / 255.0, 1)));
  EXPECT_EQ(UIColor::colorWithWhite(0, 0.5)->description(), "rgba(0,0,0,0.5)");
  EXPECT_TRUE(UIColorEqual(nullptr, nullptr));
  EXPECT_FALSE(UIColorEqual(UIColor::redColor(), nullptr));
}

TEST(TextMeasureTest, MixedTextAndEmojiHaveTheirDocumentedWidthsAndWrapBeforeTheOverflow) {
  auto font = UIFont::systemFontOfSize(20);
  EXPECT_DOUBLE_EQ(TextMeasure::widthOfText("金币10个", font), 3 * 20 + 2 * 11.0);
  EXPECT_DOUBLE_EQ(TextMeasure::widthOfText("😀", font), 20.0);  // one character of two units
  EXPECT_DOUBLE_EQ(TextMeasure::lineHeight(font), 24);
  // Wrapping breaks before the overflowing character.
  font = UIFont::systemFontOfSize(10);
  EXPECT_EQ(TextMeasure::lines("一二三四五六七", font, 30),
            (std::vector<std::string>{"一二三", "四五六", "七"}));
  EXPECT_EQ(TextMeasure::lines("一二三四五六七", font, 30, 2).size(), 2u);
  EXPECT_EQ(TextMeasure::lines("a\nb", font, 0).size(), 2u);
  EXPECT_EQ(TextMeasure::sizeOfText("一二三四", font, 30), CGSizeMake(30, 24));
}

TEST(LabelTest, SizeToFitUsesTheTextMeasureAndKeepsTheOriginAndTooMuchTextIsCut) {
  auto label = UILabel::create(CGRectMake(5, 6, 0, 0));
  label->setFont(UIFont::systemFontOfSize(14));
  label->setText("余额ab");
  label->sizeToFit();
  EXPECT_EQ(label->frame(),
            CGRectMake(5, 6, std::ceil(2 * 14 + 2 * 0.55 * 14), std::ceil(14 * 1.2)));
  EXPECT_FALSE(label->isUserInteractionEnabled());
  // Text that does not fit the height is cut.
  label->setFrame(CGRectMake(0, 0, 28, 35));
  label->setNumberOfLines(0);
  label->setText("一二三四五六");
  EXPECT_EQ(label->visibleLines().size(), 2u);  // 3 lines of 16.8 need 50.4 points
}

TEST(AttributedStringTest, ColourRangesCountUtf16UnitsAreClampedAndALabelKeepsItsOwnCopy) {
  // The balance line of the shop: both numbers red.
  std::string gold = "12.50", bound = "3";
  std::string text = "账号余额为：金币" + gold + "个，绑金" + bound + "个";
  auto s = NSMutableAttributedString::create(text);
  auto red = UIColor::rgb(247, 82, 55);
  s->addAttribute(NSForegroundColorAttributeName, red, NSMakeRange(8, 5));
  s->addAttribute(NSForegroundColorAttributeName, red, NSMakeRange(8 + 5 + 4, 1));
  auto ranges = s->colorRanges();
  ASSERT_EQ(ranges.size(), 2u);
  EXPECT_EQ(ranges[0].range, NSMakeRange(8, 5));
  EXPECT_EQ(ranges[1].range, NSMakeRange(17, 1));
  EXPECT_FALSE(s->colorAtIndex(7));
  EXPECT_TRUE(s->colorAtIndex(12)->isEqual(*red));
  // Surrogate pairs take two units, and ranges past the end are clamped.
  s = NSMutableAttributedString::create("😀好");
  EXPECT_EQ(s->length(), 3u);
  s->addAttribute(NSForegroundColorAttributeName, UIColor::redColor(), NSMakeRange(2, 5));
  ranges = s->colorRanges();
  ASSERT_EQ(ranges.size(), 1u);
  EXPECT_EQ(ranges[0].range, NSMakeRange(2, 1));
  s->addAttribute(NSForegroundColorAttributeName, UIColor::redColor(), NSMakeRange(9, 1));
  EXPECT_EQ(s->colorRanges().size(), 1u);
  // A label keeps its own copy.
  auto label = UILabel::create();
  label->setAttributedText(s);
  s->setString("changed");
  EXPECT_EQ(label->text(), "😀好");
  ASSERT_EQ(label->attributedText()->colorRanges().size(), 1u);
  label->setText("plain");
  EXPECT_FALSE(label->attributedText());
}
