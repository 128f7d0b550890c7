#pragma once
// The bar above the keyboard: a toolbar 44 points high whose title (the edited field's
// placeholder) and title font are passed on to its title items. It plays the keyboard's input
// clicks while shown.

#include <memory>
#include <optional>
#include <string>

#include "platform/uikit/UIToolbar.h"

class UIColor;
class UIFont;

class KBToolbar : public UIToolbar {
  TOVIRA_CLASS(KBToolbar)
 public:
  // init: a bar that has sized itself (the screen's width, 44 high).
  static std::shared_ptr<KBToolbar> create();
  // Class initialisation, for this class and each subclass (registered by
  // registerKeyboardClasses): clears on the class's appearance everything a bar would take from
  // the app's global toolbar appearance (tint, bar tint, background and shadow images of every
  // position, background colour).
  static void initialize(const std::string& className);
  // Both initialisers run the bar's set-up (initialize) after the base.
  void initWithFrame(CGRect frame) override;
  void initWithCoder(const NSCoder& coder) override;

  std::shared_ptr<UIFont> titleFont() const { return titleFont_; }
  // Also the font of every title item on the bar.
  void setTitleFont(std::shared_ptr<UIFont> font);
  // nullopt until set; also the title of every title item on the bar.
  const std::optional<std::string>& title() const { return title_; }
  void setTitle(const std::optional<std::string>& title);
  // The bar's tint, then the tint of every item on it.
  void setTintColor(std::shared_ptr<UIColor> color);
  bool enableInputClicksWhenVisible() const { return true; }

  CGSize sizeThatFits(CGSize size) const override;  // the platform's width, 44 high

 private:
  // The set-up every initialiser runs: sized to fit, flexible width, translucent; black
  // translucent on older systems, a black tint on newer ones.
  void initialize();
  std::shared_ptr<UIFont> titleFont_;
  std::optional<std::string> title_;
};
