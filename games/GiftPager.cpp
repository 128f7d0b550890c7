#include "games/GiftPager.h"

#include "platform/foundation/NSString.h"
#include "platform/uikit/CALayer.h"
#include "platform/uikit/UIActivityIndicatorView.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UIGestureRecognizer.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UITextField.h"
#include "wallet/WalletStyle.h"

std::optional<GiftPager::Ticket> GiftPager::begin() {
  if (inFlight_) return std::nullopt;
  inFlight_ = true;
  return Ticket{page_, generation_};
}

bool GiftPager::finish(const Ticket& ticket, bool arrived) {
  if (ticket.generation != generation_) return false;
  inFlight_ = false;
  if (arrived) page_ = ticket.page + 1;
  return true;
}

void GiftPager::restart() {
  ++generation_;
  page_ = 1;
  inFlight_ = false;
}

namespace GiftLists {

std::optional<std::vector<Value>> pageItems(const Value& reply) {
  if (!reply["state"].isEqualToString("ok")) return std::nullopt;
  const Value& data = reply["data"];
  if (!data.isArray()) return std::nullopt;
  std::vector<Value> items;
  items.reserve(data.count());
  for (const auto& item : data.arrayValue()) {
    if (item.isDict()) items.push_back(item);
  }
  return items;
}

std::string escapedName(const std::string& name) { return NSString::percentEscape(name); }

void syncPrompt(const UITextField& field, UILabel& prompt) {
  prompt.setHidden(!field.text().empty());
}

bool nearEnd(double offsetY, double height, double contentHeight) {
  return offsetY + height + 100 > contentHeight;
}

bool nearEnd(const UIScrollView& scroll) {
  return nearEnd(scroll.contentOffset().y, scroll.frame().size.height, scroll.contentSize().height);
}

void clearRows(UIScrollView& scroll, long rowTag) {
  for (const auto& sub : scroll.subviews()) {
    if (sub->tag() == rowTag) sub->removeFromSuperview();
  }
  scroll.setContentSize(CGSizeMake(0, 0));
}

std::string childText(const UIView& parent, long tag) {
  for (const auto& sub : parent.subviews()) {
    if (sub->tag() != tag) continue;
    if (auto label = std::dynamic_pointer_cast<UILabel>(sub)) return label->text();
  }
  return "";
}

std::shared_ptr<UILabel> hiddenValue(const std::string& text, long tag) {
  auto label = UILabel::create();
  label->setText(text);
  label->setTag(tag);
  label->setHidden(true);
  return label;
}

InfoPopup howGetGoldPopup(CGRect frame) {
  auto view = UIView::create(frame);
  const double bottom = WalletStyle::infoForm(
      *view, "怎样获得金币",
      {{"金币：通过游戏充值获得；您在Tovira体验游戏并充值，系统将返利以金币形式自动发放至Tovira账"
        "号",
        53},
       {"绑定金币：简称绑金，通过邀请好友体验Tovira，好友充值游戏，则您可按比例获得绑金奖励", 53},
       {"金币和绑定金币，均可用来兑换游戏礼包", 20}});
  auto button = WalletStyle::knowButton(frame.size.width, bottom + 15);
  view->addSubview(button);
  view->setHidden(true);
  return {view, button};
}

InfoPopup rulesPopup(CGRect frame) {
  auto view = UIView::create(frame);
  const double bottom =
      WalletStyle::infoForm(*view, "兑换规则",
                            {{"礼包使用绑定金币兑换，每个礼包的价格写在它的一行里", 35},
                             {"兑换成功后，兑换码会复制到剪贴板，也可在领取记录里再次复制", 35},
                             {"礼包兑换后，请尽快在游戏内使用，过期的兑换码无法使用", 35},
                             {"礼包数量有限，领完为止", 20}});
  auto button = WalletStyle::knowButton(frame.size.width, bottom + 15);
  view->addSubview(button);
  view->setHidden(true);
  return {view, button};
}

std::shared_ptr<UIView> makeMask(CGRect frame) {
  auto mask = UIView::create(frame);
  mask->setBackgroundColor(UIColor::blackColor());
  mask->setAlpha(0.5);
  mask->setUserInteractionEnabled(true);
  mask->setHidden(true);
  return mask;
}

std::shared_ptr<UIActivityIndicatorView> makeSpinner(double width, double height) {
  auto spinner = UIActivityIndicatorView::create(UIActivityIndicatorViewStyleWhiteLarge);
  spinner->setFrame(CGRectMake((width - 37) / 2, (height - 37) / 2, 37, 37));
  spinner->setHidesWhenStopped(true);
  return spinner;
}

TitleBar titleBar(WeakTarget owner, double width, const std::string& title,
                  std::function<void()> back) {
  auto bar = UIView::create(CGRectMake(0, 20, width, 46));
  bar->setBackgroundColor(WalletStyle::green());
  auto backLabel = WalletStyle::label(CGRectMake(10, 13, 40, 20), "返回", 15);
  backLabel->setTextColor(UIColor::whiteColor());
  backLabel->setUserInteractionEnabled(true);
  backLabel->addGestureRecognizer(
      UITapGestureRecognizer::create(std::move(owner), std::move(back)));
  bar->addSubview(backLabel);
  auto titleLabel = WalletStyle::label(CGRectMake((width - 100) / 2, 13, 100, 20), title, 17);
  titleLabel->setTextColor(UIColor::whiteColor());
  titleLabel->setTextAlignment(NSTextAlignmentCenter);
  bar->addSubview(titleLabel);
  return {bar, backLabel};
}

SearchRow searchRow(WeakTarget owner, UIView& root, double width) {
  SearchRow row;
  row.field = UITextField::create(CGRectMake(5, 71, width - 135, 30));
  row.field->setFont(UIFont::systemFontOfSize(14));
  row.field->setClearButtonMode(UITextFieldViewModeWhileEditing);
  row.field->setReturnKeyType(UIReturnKeySearch);
  row.field->layer().setBorderWidth(1);
  row.field->layer().setBorderColor(UIColor::rgb(83, 160, 22));
  root.addSubview(row.field);
  row.prompt = WalletStyle::label(CGRectMake(10, 71, width - 145, 30), "请输入游戏名称", 14);
  row.prompt->setTextColor(UIColor::rgb(167, 167, 167));
  row.prompt->setUserInteractionEnabled(false);
  root.addSubview(row.prompt);
  std::weak_ptr<UITextField> field = row.field;
  std::weak_ptr<UILabel> prompt = row.prompt;
  row.field->addTarget(
      std::move(owner),
      [field, prompt] {
        auto f = field.lock();
        auto p = prompt.lock();
        if (f && p) syncPrompt(*f, *p);
      },
      UIControlEventEditingChanged);
  row.searchButton = WalletStyle::button(CGRectMake(width - 125, 71, 55, 30), "搜索",
                                         UIColor::whiteColor(), WalletStyle::green(), 14);
  row.searchButton->layer().setCornerRadius(3);
  root.addSubview(row.searchButton);
  row.recordButton = WalletStyle::button(CGRectMake(width - 65, 71, 60, 30), "领取记录",
                                         UIColor::rgb(232, 45, 0), UIColor::whiteColor(), 13);
  row.recordButton->layer().setBorderWidth(1);
  row.recordButton->layer().setBorderColor(UIColor::rgb(232, 45, 0));
  row.recordButton->layer().setCornerRadius(3);
  root.addSubview(row.recordButton);
  return row;
}

}  // namespace GiftLists
