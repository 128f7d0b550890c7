#include "platform/uikit/UIBarButtonItem.h"

#include "platform/foundation/NSKeyedUnarchiver.h"
#include "platform/uikit/NSAttributedString.h"
#include "platform/uikit/UIAppearance.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIView.h"

namespace {

// The key of each styled property, shared by the items and their appearance proxies.
std::string key(const char* name, std::initializer_list<long> parts) {
  std::string k = name;
  for (long p : parts) k += ":" + std::to_string(p);
  return k;
}
long stateKey(UIControlStateValue state) { return static_cast<long>(state); }

}  // namespace

// --- Appearance proxy --------------------------------------------------------------------------

void UIBarButtonItemAppearance::setTintColor(std::shared_ptr<UIColor> color) {
  UIAppearance::set(className_, "tintColor", std::move(color));
}
void UIBarButtonItemAppearance::setTitlePositionAdjustment(UIOffset adjustment,
                                                           UIBarMetrics metrics) {
  UIAppearance::set(className_, key("titlePositionAdjustment", {metrics}), adjustment);
}
void UIBarButtonItemAppearance::setTitleTextAttributes(const UITextAttributes& attributes,
                                                       UIControlStateValue state) {
  UIAppearance::set(className_, key("titleTextAttributes", {stateKey(state)}), attributes);
}
void UIBarButtonItemAppearance::setBackgroundImage(std::shared_ptr<UIImage> image,
                                                   UIControlStateValue state,
                                                   UIBarMetrics metrics) {
  UIAppearance::set(className_, key("backgroundImage", {stateKey(state), metrics}),
                    std::move(image));
}
void UIBarButtonItemAppearance::setBackgroundImage(std::shared_ptr<UIImage> image,
                                                   UIControlStateValue state, long style,
                                                   UIBarMetrics metrics) {
  UIAppearance::set(className_, key("backgroundImage", {stateKey(state), style, metrics}),
                    std::move(image));
}
void UIBarButtonItemAppearance::setBackgroundVerticalPositionAdjustment(double adjustment,
                                                                        UIBarMetrics metrics) {
  UIAppearance::set(className_, key("backgroundVerticalPositionAdjustment", {metrics}), adjustment);
}
void UIBarButtonItemAppearance::setBackButtonBackgroundImage(std::shared_ptr<UIImage> image,
                                                             UIControlStateValue state,
                                                             UIBarMetrics metrics) {
  UIAppearance::set(className_, key("backButtonBackgroundImage", {stateKey(state), metrics}),
                    std::move(image));
}
void UIBarButtonItemAppearance::setBackButtonTitlePositionAdjustment(UIOffset adjustment,
                                                                     UIBarMetrics metrics) {
  UIAppearance::set(className_, key("backButtonTitlePositionAdjustment", {metrics}), adjustment);
}
void UIBarButtonItemAppearance::setBackButtonBackgroundVerticalPositionAdjustment(
    double adjustment, UIBarMetrics metrics) {
  UIAppearance::set(className_, key("backButtonBackgroundVerticalPositionAdjustment", {metrics}),
                    adjustment);
}

// --- Item ----------------------------------------------------------------------------------------

UIOffset UIBarButtonItem::titlePositionAdjustment(UIBarMetrics metrics) const {
  return styled<UIOffset>(key("titlePositionAdjustment", {metrics}));
}
void UIBarButtonItem::setTitlePositionAdjustment(UIOffset adjustment, UIBarMetrics metrics) {
  setStyled(key("titlePositionAdjustment", {metrics}), adjustment);
}
UITextAttributes UIBarButtonItem::titleTextAttributes(UIControlStateValue state) const {
  return styled<UITextAttributes>(key("titleTextAttributes", {stateKey(state)}));
}
void UIBarButtonItem::setTitleTextAttributes(const UITextAttributes& attributes,
                                             UIControlStateValue state) {
  setStyled(key("titleTextAttributes", {stateKey(state)}), attributes);
}
std::shared_ptr<UIImage> UIBarButtonItem::backgroundImage(UIControlStateValue state,
                                                          UIBarMetrics metrics) const {
  return styled<std::shared_ptr<UIImage>>(key("backgroundImage", {stateKey(state), metrics}));
}
void UIBarButtonItem::setBackgroundImage(std::shared_ptr<UIImage> image, UIControlStateValue state,
                                         UIBarMetrics metrics) {
  setStyled(key("backgroundImage", {stateKey(state), metrics}), std::move(image));
}
std::shared_ptr<UIImage> UIBarButtonItem::backgroundImage(UIControlStateValue state, long style,
                                                          UIBarMetrics metrics) const {
  return styled<std::shared_ptr<UIImage>>(
      key("backgroundImage", {stateKey(state), style, metrics}));
}
void UIBarButtonItem::setBackgroundImage(std::shared_ptr<UIImage> image, UIControlStateValue state,
                                         long style, UIBarMetrics metrics) {
  setStyled(key("backgroundImage", {stateKey(state), style, metrics}), std::move(image));
}
double UIBarButtonItem::backgroundVerticalPositionAdjustment(UIBarMetrics metrics) const {
  return styled<double>(key("backgroundVerticalPositionAdjustment", {metrics}));
}
void UIBarButtonItem::setBackgroundVerticalPositionAdjustment(double adjustment,
                                                              UIBarMetrics metrics) {
  setStyled(key("backgroundVerticalPositionAdjustment", {metrics}), adjustment);
}
std::shared_ptr<UIImage> UIBarButtonItem::backButtonBackgroundImage(UIControlStateValue state,
                                                                    UIBarMetrics metrics) const {
  return styled<std::shared_ptr<UIImage>>(
      key("backButtonBackgroundImage", {stateKey(state), metrics}));
}
void UIBarButtonItem::setBackButtonBackgroundImage(std::shared_ptr<UIImage> image,
                                                   UIControlStateValue state,
                                                   UIBarMetrics metrics) {
  setStyled(key("backButtonBackgroundImage", {stateKey(state), metrics}), std::move(image));
}
UIOffset UIBarButtonItem::backButtonTitlePositionAdjustment(UIBarMetrics metrics) const {
  return styled<UIOffset>(key("backButtonTitlePositionAdjustment", {metrics}));
}
void UIBarButtonItem::setBackButtonTitlePositionAdjustment(UIOffset adjustment,
                                                           UIBarMetrics metrics) {
  setStyled(key("backButtonTitlePositionAdjustment", {metrics}), adjustment);
}
double UIBarButtonItem::backButtonBackgroundVerticalPositionAdjustment(UIBarMetrics metrics) const {
  return styled<double>(key("backButtonBackgroundVerticalPositionAdjustment", {metrics}));
}
void UIBarButtonItem::setBackButtonBackgroundVerticalPositionAdjustment(double adjustment,
                                                                        UIBarMetrics metrics) {
  setStyled(key("backButtonBackgroundVerticalPositionAdjustment", {metrics}), adjustment);
}

void UIBarButtonItem::applyAppearance() {
  if (appearanceApplied_) return;
  appearanceApplied_ = true;
  for (auto& [k, value] : UIAppearance::valuesFor(className())) {
    if (ownStyles_.count(k)) continue;
    if (k == "tintColor") {
      const auto* color = std::any_cast<std::shared_ptr<UIColor>>(&value);
      tintColor_ = color ? *color : nullptr;
    } else {
      styles_[k] = value;
    }
  }
}

void UIBarButtonItem::initWithCoder(const NSCoder& coder) {
  NSObject::initWithCoder(coder);
  title_ = coder.decodeStringForKey("UITitle");
  style_ = static_cast<UIBarButtonItemStyle>(coder.decodeIntegerForKey("UIStyle"));
  tag_ = coder.decodeIntegerForKey("UITag");
  enabled_ = !coder.containsValueForKey("UIEnabled") || coder.decodeBoolForKey("UIEnabled");
  if (coder.containsValueForKey("UISystemItem"))
    setSystemItem(static_cast<UIBarButtonSystemItem>(coder.decodeIntegerForKey("UISystemItem")));
}

std::shared_ptr<UIBarButtonItem> UIBarButtonItem::createSystem(UIBarButtonSystemItem item) {
  return createSystem(item, nullptr, [] {});
}

std::shared_ptr<UIBarButtonItem> UIBarButtonItem::createWithCustomView(
    std::shared_ptr<UIView> view) {
  auto item = std::make_shared<UIBarButtonItem>();
  item->customView_ = std::move(view);
  return item;
}

void UIBarButtonItem::sendAction() {
  auto keep = std::static_pointer_cast<UIBarButtonItem>(shared_from_this());
  if (!enabled_ || !action_ || !target_.alive()) return;
  auto action = action_;  // the action may replace itself
  action(*this);
}

std::string UIBarButtonItem::systemTitle(UIBarButtonSystemItem item) {
  switch (item) {
    case UIBarButtonSystemItemDone:
      return "Done";
    case UIBarButtonSystemItemCancel:
      return "Cancel";
    case UIBarButtonSystemItemEdit:
      return "Edit";
    case UIBarButtonSystemItemSave:
      return "Save";
    case UIBarButtonSystemItemAdd:
      return "+";
    default:
      return "";
  }
}

std::shared_ptr<UIView> UIBarButtonItem::makeBarView(const std::shared_ptr<UIColor>& barTint) {
  applyAppearance();
  if (auto custom = customView()) return custom;
  auto button = UIButton::buttonWithType(UIButtonTypeSystem);
  button->setTitle(title());
  if (image()) button->setImage(image());
  if (font()) button->titleLabel()->setFont(font());
  button->setTitleColor(tintColor() ? tintColor() : barTint);
  // The title text attributes and background images of the states a button shows.
  for (UIControlStateValue state : {UIControlStateNormal, UIControlStateDisabled}) {
    auto attributes = titleTextAttributes(state);
    if (auto color = std::dynamic_pointer_cast<UIColor>(attributes[NSForegroundColorAttributeName]))
      button->setTitleColor(color, state);
    if (auto f = std::dynamic_pointer_cast<UIFont>(attributes[NSFontAttributeName]);
        f && state == UIControlStateNormal && !font())
      button->titleLabel()->setFont(f);
    auto background = backgroundImage(state, style(), UIBarMetricsDefault);
    if (!background) background = backgroundImage(state, UIBarMetricsDefault);
    if (background) button->setBackgroundImage(background, state);
  }
  button->setEnabled(isEnabled());
  std::weak_ptr<NSObject> weakItem = weak_from_this();
  button->addTarget(
      nullptr,
      [weakItem] {
        if (auto i = weakItem.lock()) static_cast<UIBarButtonItem&>(*i).sendAction();
      },
      UIControlEventTouchUpInside);
  return button;
}
