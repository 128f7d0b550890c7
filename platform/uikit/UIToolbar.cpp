#include "platform/uikit/UIToolbar.h"

#include <algorithm>

#include "platform/foundation/NSKeyedUnarchiver.h"
#include "platform/uikit/TextMeasure.h"
#include "platform/uikit/UIAppearance.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScreen.h"

namespace {
bool isSpace(const UIBarButtonItem& item) {
  return item.isSystemItem() && (item.systemItem() == UIBarButtonSystemItemFlexibleSpace ||
                                 item.systemItem() == UIBarButtonSystemItemFixedSpace);
}
std::string backgroundKey(UIBarPosition position, UIBarMetrics metrics) {
  return "backgroundImage:" + std::to_string(position) + ":" + std::to_string(metrics);
}
std::string shadowKey(UIBarPosition position) { return "shadowImage:" + std::to_string(position); }

template <class T>
T valueAs(const std::any& value) {
  const T* v = std::any_cast<T>(&value);
  return v ? *v : T{};
}

}  // namespace

void UIToolbarAppearance::setTintColor(std::shared_ptr<UIColor> color) {
  UIAppearance::set(className_, "tintColor", std::move(color));
}
void UIToolbarAppearance::setBarTintColor(std::shared_ptr<UIColor> color) {
  UIAppearance::set(className_, "barTintColor", std::move(color));
}
void UIToolbarAppearance::setBackgroundColor(std::shared_ptr<UIColor> color) {
  UIAppearance::set(className_, "backgroundColor", std::move(color));
}
void UIToolbarAppearance::setBarStyle(UIBarStyle style) {
  UIAppearance::set(className_, "barStyle", style);
}
void UIToolbarAppearance::setTranslucent(bool translucent) {
  UIAppearance::set(className_, "translucent", translucent);
}
void UIToolbarAppearance::setBackgroundImage(std::shared_ptr<UIImage> image, UIBarPosition position,
                                             UIBarMetrics metrics) {
  UIAppearance::set(className_, backgroundKey(position, metrics), std::move(image));
}
void UIToolbarAppearance::setShadowImage(std::shared_ptr<UIImage> image, UIBarPosition position) {
  UIAppearance::set(className_, shadowKey(position), std::move(image));
}

std::shared_ptr<UIToolbar> UIToolbar::create(CGRect frame) { return make<UIToolbar>(frame); }

void UIToolbar::initWithFrame(CGRect frame) {
  UIView::initWithFrame(frame);
  applyAppearance();
}

void UIToolbar::initWithCoder(const NSCoder& coder) {
  UIView::initWithCoder(coder);
  applyAppearance();
  if (coder.containsValueForKey("UIBarStyle"))
    setBarStyle(static_cast<UIBarStyle>(coder.decodeIntegerForKey("UIBarStyle")));
  if (coder.containsValueForKey("UITranslucent"))
    setTranslucent(coder.decodeBoolForKey("UITranslucent"));
  std::vector<std::shared_ptr<UIBarButtonItem>> items;
  for (const auto& object : coder.decodeArrayOfObjectsForKey("UIItems"))
    if (auto item = std::dynamic_pointer_cast<UIBarButtonItem>(object)) items.push_back(item);
  if (!items.empty()) setItems(items);
}

void UIToolbar::applyAppearance() {
  for (const auto& [key, value] : UIAppearance::valuesFor(className())) {
    if (key == "tintColor") {
      UIView::setTintColor(valueAs<std::shared_ptr<UIColor>>(value));
    } else if (key == "barTintColor") {
      setBarTintColor(valueAs<std::shared_ptr<UIColor>>(value));
    } else if (key == "backgroundColor") {
      setBackgroundColor(valueAs<std::shared_ptr<UIColor>>(value));
    } else if (key == "barStyle") {
      setBarStyle(valueAs<UIBarStyle>(value));
    } else if (key == "translucent") {
      if (const bool* t = std::any_cast<bool>(&value)) setTranslucent(*t);
    } else if (key.rfind("backgroundImage:", 0) == 0 || key.rfind("shadowImage:", 0) == 0) {
      images_[key] = valueAs<std::shared_ptr<UIImage>>(value);
    }
  }
}

std::shared_ptr<UIImage> UIToolbar::backgroundImageForToolbarPosition(UIBarPosition position,
                                                                      UIBarMetrics metrics) const {
  auto it = images_.find(backgroundKey(position, metrics));
  return it == images_.end() ? nullptr : it->second;
}
void UIToolbar::setBackgroundImage(std::shared_ptr<UIImage> image, UIBarPosition position,
                                   UIBarMetrics metrics) {
  images_[backgroundKey(position, metrics)] = std::move(image);
}
std::shared_ptr<UIImage> UIToolbar::shadowImageForToolbarPosition(UIBarPosition position) const {
  auto it = images_.find(shadowKey(position));
  return it == images_.end() ? nullptr : it->second;
}
void UIToolbar::setShadowImage(std::shared_ptr<UIImage> image, UIBarPosition position) {
  images_[shadowKey(position)] = std::move(image);
}

void UIToolbar::setItems(const std::vector<std::shared_ptr<UIBarButtonItem>>& items, bool) {
  items_ = items;
  rebuild();
}

void UIToolbar::rebuild() {
  for (auto& v : itemViews_) {
    if (v) v->removeFromSuperview();
  }
  itemViews_.clear();
  for (auto& item : items_) {
    if (!item || isSpace(*item)) {
      itemViews_.push_back(nullptr);
      continue;
    }
    auto view = item->makeBarView(tintColor());
    addSubview(view);
    itemViews_.push_back(view);
  }
  layoutSubviews();
}

std::shared_ptr<UIView> UIToolbar::viewForItem(const std::shared_ptr<UIBarButtonItem>& item) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i] == item) return itemViews_[i];
  }
  return nullptr;
}

CGSize UIToolbar::sizeThatFits(CGSize size) const {
  // A bar that has no width yet takes the screen's, as a bar sized before it is placed does.
  double width = size.width > 0 ? size.width : UIScreen::mainScreen()->bounds().size.width;
  return CGSize{width, 44};
}

void UIToolbar::setFrame(CGRect frame) {
  UIView::setFrame(frame);
  layoutSubviews();
}

void UIToolbar::layoutSubviews() {
  if (itemViews_.size() != items_.size()) return;
  CGRect b = bounds();
  const double margin = 8, gap = 8;
  std::vector<double> widths(items_.size(), 0);
  double fixed = 0;
  int flexible = 0;
  for (size_t i = 0; i < items_.size(); ++i) {
    auto& item = items_[i];
    if (!item) continue;
    if (item->isSystemItem() && item->systemItem() == UIBarButtonSystemItemFlexibleSpace) {
      ++flexible;
      continue;
    }
    double w = item->width();
    if (item->isSystemItem() && item->systemItem() == UIBarButtonSystemItemFixedSpace) {
      widths[i] = w;
    } else if (auto custom = item->customView()) {
      widths[i] = w > 0 ? w : custom->frame().size.width;
    } else if (w > 0) {
      widths[i] = w;
    } else {
      double tw = TextMeasure::widthOfText(
          item->title(), item->font() ? item->font() : UIFont::systemFontOfSize(15));
      if (item->image()) tw += item->image()->size().width;
      widths[i] = std::max(44.0, tw + 20);
    }
    fixed += widths[i];
  }
  size_t count = items_.size();
  double spare = b.size.width - 2 * margin - fixed - (count > 1 ? gap * (count - 1) : 0);
  // Too wide: custom views of flexible width give up the difference, so the bar's last items
  // stay on it.
  if (spare < 0) {
    std::vector<size_t> shrinkable;
    for (size_t i = 0; i < count; ++i) {
      auto custom = items_[i] ? items_[i]->customView() : nullptr;
      if (custom && (custom->autoresizingMask() & UIViewAutoresizingFlexibleWidth) &&
          items_[i]->width() <= 0)
        shrinkable.push_back(i);
    }
    if (!shrinkable.empty()) {
      double each = -spare / static_cast<double>(shrinkable.size());
      for (size_t i : shrinkable) {
        double cut = std::min(widths[i], each);
        widths[i] -= cut;
        spare += cut;
      }
    }
  }
  double flex = flexible > 0 ? std::max(0.0, spare) / flexible : 0;
  double x = margin;
  for (size_t i = 0; i < count; ++i) {
    auto& item = items_[i];
    double w = widths[i];
    if (item && item->isSystemItem() && item->systemItem() == UIBarButtonSystemItemFlexibleSpace)
      w = flex;
    if (auto& v = itemViews_[i]) {
      double h = item && item->customView()
                     ? std::min(v->frame().size.height > 0 ? v->frame().size.height : b.size.height,
                                b.size.height)
                     : b.size.height;
      v->setFrame(CGRectMake(x, (b.size.height - h) / 2, w, h));
    }
    x += w + gap;
  }
}
