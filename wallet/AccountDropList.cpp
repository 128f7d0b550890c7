#include "wallet/AccountDropList.h"

#include "platform/foundation/Value.h"
#include "platform/uikit/CALayer.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UIGestureRecognizer.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScrollView.h"
#include "core/Config.h"
#include "wallet/WalletStyle.h"

namespace {
constexpr double kRowPitch = 30;
constexpr size_t kScrollingFrom = 9;
}  // namespace

std::shared_ptr<UIScrollView> AccountDropList::create(
    CGPoint origin, double width, const Value& bondlist,
    std::function<void(UIGestureRecognizer&)> onRow) {
  const size_t count = bondlist.count();
  const double contentHeight = kRowPitch * static_cast<double>(count);
  const double height = count < kScrollingFrom ? contentHeight : 240;
  auto list = UIScrollView::create(CGRectMake(origin.x, origin.y, width, height));
  list->setContentSize(CGSizeMake(width, contentHeight));
  list->layer().setBorderWidth(1);
  list->layer().setBorderColor(WalletStyle::listGrey());

  for (size_t i = 0; i < count; ++i) {
    const Value& account = bondlist[i];
    const std::string platId = account["plat_id"].str();
    const double y = kRowPitch * static_cast<double>(i);

    auto row = UIView::create(CGRectMake(0, y, width, 29));
    row->setBackgroundColor(UIColor::whiteColor());
    const std::string icon = Config::platformIconName(platId);
    if (!icon.empty()) {
      auto iconView = UIImageView::create(CGRectMake(8, 8, 14, 14));
      iconView->setImage(UIImage::imageNamed(icon));
      row->addSubview(iconView);
    }
    auto name =
        WalletStyle::label(CGRectMake(30, 0, width - 30, 29), account["username"].str(), 12);
    name->setTag(7);
    row->addSubview(name);
    auto plat = UILabel::create(CGRectMake(0, 0, 0, 0));
    plat->setText(platId);
    plat->setTag(8);
    plat->setHidden(true);
    row->addSubview(plat);
    auto tap = std::make_shared<UITapGestureRecognizer>();
    tap->addTargetErased(nullptr, onRow);
    row->addGestureRecognizer(tap);
    list->addSubview(row);

    auto line = UIView::create(CGRectMake(0, y - 1, width, 1));
    line->setBackgroundColor(WalletStyle::listGrey());
    list->addSubview(line);
  }
  return list;
}

std::string AccountDropList::rowAccount(const std::shared_ptr<UIView>& row) {
  auto label = row ? std::dynamic_pointer_cast<UILabel>(row->viewWithTag(7)) : nullptr;
  return label ? label->text() : "";
}

std::string AccountDropList::rowPlatId(const std::shared_ptr<UIView>& row) {
  auto label = row ? std::dynamic_pointer_cast<UILabel>(row->viewWithTag(8)) : nullptr;
  return label ? label->text() : "";
}
