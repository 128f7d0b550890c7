#include "games/GamePicker.h"

#include "core/TempData.h"
#include "platform/foundation/NSString.h"
#include "platform/uikit/CALayer.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UIGestureRecognizer.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScrollView.h"

namespace {
// The first whole character of a text (a code point, so that no character is cut in half).
size_t firstCharacterBytes(const std::string& text) {
  if (text.empty()) return 0;
  const auto lead = static_cast<unsigned char>(text[0]);
  size_t size = 1;
  if (lead >= 0xF0) {
    size = 4;
  } else if (lead >= 0xE0) {
    size = 3;
  } else if (lead >= 0xC0) {
    size = 2;
  }
  return std::min(size, text.size());
}

void clear(UIScrollView& scroll) {
  for (const auto& sub : scroll.subviews()) sub->removeFromSuperview();
}

std::shared_ptr<UIView> separator(CGRect frame) {
  auto line = UIView::create(frame);
  line->setBackgroundColor(GamePicker::grey());
  return line;
}
}  // namespace

std::shared_ptr<UIColor> GamePicker::grey() { return UIColor::rgb(183, 183, 183); }
std::shared_ptr<UIColor> GamePicker::highlight() { return UIColor::rgb(118, 181, 72); }
std::shared_ptr<UIColor> GamePicker::badgeColour() { return UIColor::rgb(255, 193, 87); }

Value GamePicker::wholeListParams() {
  const Value& special = TempData::getuserdata()["is_special"];
  return Value::dict(
      {{"unlimit", "1"}, {"is_special", special.isNil() ? "(null)" : special.description()}});
}

std::vector<Value> GamePicker::gamesOf(const Value& reply) {
  std::vector<Value> games;
  const Value& data = reply["data"];
  if (!data.isArray()) return games;
  for (const auto& item : data.arrayValue()) {
    if (item.isDict()) games.push_back(item);
  }
  return games;
}

void GamePicker::addGame(UIScrollView& gamescroll, const Value& reply, bool badges,
                         const WeakTarget& target, TapHandler rowTap) {
  // The new rows take the place of the earlier ones.
  clear(gamescroll);
  gamescroll.setContentOffset(CGPointMake(0, 0));
  gamescroll.setShowsVerticalScrollIndicator(false);
  if (reply.isNil()) {
    gamescroll.setContentSize(CGSizeMake(0, 0));
    return;
  }
  const std::vector<Value> games = gamesOf(reply);
  gamescroll.setContentSize(CGSizeMake(0, kRowHeight * static_cast<double>(games.size())));
  if (!reply["state"].isEqualToString("ok") || games.empty()) return;

  const double width = gamescroll.frame().size.width;
  for (size_t i = 0; i < games.size(); ++i) {
    const Value& game = games[i];
    const double y = kRowHeight * static_cast<double>(i);
    auto row = UILabel::create(CGRectMake(0, y, width, kRowHeight));
    row->setFont(UIFont::systemFontOfSize(14));
    row->setTextColor(grey());
    row->setBackgroundColor(UIColor::whiteColor());
    row->setTag(static_cast<long>(i));
    row->setUserInteractionEnabled(true);
    row->addGestureRecognizer(UITapGestureRecognizer::create(target, rowTap));

    const std::string shortName = NSString::trim(game["plat_gameshort"].str());
    const std::string name = game["plat_gamename"].str();
    if (!shortName.empty()) {
      const std::string letter =
          NSString::uppercaseString(shortName.substr(0, firstCharacterBytes(shortName)));
      row->setText("  " + letter + "  " + name);
    } else {
      row->setText("  无  " + name);
    }
    gamescroll.addSubview(row);

    const std::string platId = game["plat_id"].str();
    if (badges && platId == "3") {
      auto badge = UILabel::create(CGRectMake(width - 30, y + 5, 20, 20));
      badge->setBackgroundColor(badgeColour());
      badge->layer().setCornerRadius(5);
      badge->layer().setMasksToBounds(true);
      badge->setTextColor(UIColor::whiteColor());
      badge->setFont(UIFont::systemFontOfSize(10));
      badge->setText("H5");
      badge->setTextAlignment(NSTextAlignmentCenter);
      gamescroll.addSubview(badge);
    }

    auto platform = UILabel::create(CGRectZero);
    platform->setTag(kPlatformTag);
    platform->setHidden(true);
    platform->setText(platId);
    row->addSubview(platform);

    if (i > 0) gamescroll.addSubview(separator(CGRectMake(0, y - 1, width, 1)));
  }
}

void GamePicker::addWord(UIScrollView& gamezimuscroll, const WeakTarget& target,
                         TapHandler letterTap) {
  clear(gamezimuscroll);
  gamezimuscroll.setContentSize(CGSizeMake(0, 26 * kRowHeight));
  gamezimuscroll.setShowsVerticalScrollIndicator(false);
  for (int i = 0; i < 26; ++i) {
    const double y = kRowHeight * i;
    auto letter = UILabel::create(CGRectMake(0, y, 30, 29));
    letter->setText(NSString::stringWithFormat("%c", 65 + i));
    letter->setFont(UIFont::systemFontOfSize(14));
    letter->setTextAlignment(NSTextAlignmentCenter);
    letter->setTextColor(UIColor::blackColor());
    letter->setBackgroundColor(UIColor::whiteColor());
    letter->setUserInteractionEnabled(true);
    letter->addGestureRecognizer(UITapGestureRecognizer::create(target, letterTap));
    gamezimuscroll.addSubview(letter);
    if (i > 0) gamezimuscroll.addSubview(separator(CGRectMake(0, y - 1, 30, 1)));
  }
}

std::vector<std::shared_ptr<UILabel>> GamePicker::rows(const UIScrollView& gamescroll) {
  std::vector<std::shared_ptr<UILabel>> found;
  for (const auto& sub : gamescroll.subviews()) {
    auto label = std::dynamic_pointer_cast<UILabel>(sub);
    if (!label) continue;
    // Only rows carry the hidden platform label; badges are labels without children.
    for (const auto& child : label->subviews()) {
      if (child->tag() == kPlatformTag) {
        found.push_back(label);
        break;
      }
    }
  }
  return found;
}

void GamePicker::highlightLetter(UIScrollView& gamescroll, UIScrollView& gamezimuscroll,
                                 const UILabel& letter) {
  const std::string wanted = letter.text();
  std::shared_ptr<UILabel> first;
  for (const auto& row : rows(gamescroll)) {
    const bool matches =
        !wanted.empty() && NSString::hasPrefix(NSString::trim(row->text()), wanted);
    row->setTextColor(matches ? highlight() : grey());
    if (matches && !first) first = row;
  }
  for (const auto& sub : gamezimuscroll.subviews()) {
    if (auto other = std::dynamic_pointer_cast<UILabel>(sub))
      other->setTextColor(UIColor::blackColor());
  }
  for (const auto& sub : gamezimuscroll.subviews()) {
    if (sub.get() == &letter) {
      std::static_pointer_cast<UILabel>(sub)->setTextColor(highlight());
    }
  }
  if (first) {
    gamescroll.setContentOffset(CGPointMake(0, kRowHeight * static_cast<double>(first->tag())),
                                true);
  }
}

std::string GamePicker::chosenName(const UILabel& row) {
  const std::string trimmed = NSString::trim(row.text());
  return NSString::trim(trimmed.substr(firstCharacterBytes(trimmed)));
}

std::string GamePicker::platformOf(const UIView& row) {
  for (const auto& child : row.subviews()) {
    if (child->tag() != kPlatformTag) continue;
    if (auto label = std::dynamic_pointer_cast<UILabel>(child)) return label->text();
  }
  return "";
}
