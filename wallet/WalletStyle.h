#pragma once
// The shared look of the shop tab's pages and popups: the wallet's colours, the numbered
// green dot of its information rows, coloured texts, and its one-button alerts.
// Main thread only.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/uikit/CGGeometry.h"

class NSMutableAttributedString;
class UIColor;
class UIView;
class UILabel;
class UIButton;

class WalletStyle {
 public:
  static std::shared_ptr<UIColor> green();      // 81/158/19: title bands, main buttons
  static std::shared_ptr<UIColor> red();        // 247/82/55: numbers and names inside texts
  static std::shared_ptr<UIColor> lightGrey();  // 216/214/215: separators, borders, backgrounds
  static std::shared_ptr<UIColor> listGrey();   // 183/183/183: borders of the account lists
  static std::shared_ptr<UIColor> blue();       // 47/128/197: apply and bind buttons, links
  static std::shared_ptr<UIColor> brightRed();  // 248/67/47: chosen amounts, notes, code button
  static std::shared_ptr<UIColor> bandGrey();   // 207/204/205: heading bands of the withdrawal
  static std::shared_ptr<UIColor> paleGrey();   // 225/225/225: form rows and content bands

  // The black top bar of the wallet's own pages on `root`: 46 high under the 20-point status
  // bar, the back button "ic_back.png" and the tappable label "返回" (both call `back`) and the
  // centred title, the labels in 255/195/91. `back` must hold its page weakly.
  struct TopBar {
    std::shared_ptr<UIView> view;
    std::shared_ptr<UILabel> backlabel;
  };
  static TopBar topBar(UIView& root, const std::string& title, std::function<void()> back);

  // A 20 x 20 round dot showing "ktr_ic_bg_green_dot.png" with the number in white, centred,
  // at the origin; the caller places it.
  static std::shared_ptr<UIView> numberDot(const std::string& number);

  // The common form of the wallet's information popups on `view`: a white background, the
  // title band (30 high, white on green) and numbered rows of paragraphs, each `height`
  // high (cut there), 10 apart from y 40. A lineSpacing above 0 spaces the lines of every
  // paragraph by that many points. Returns the bottom of the last row.
  struct InfoRow {
    std::string text;
    double height;
  };
  static double infoForm(UIView& view, const std::string& title, const std::vector<InfoRow>& rows,
                         double lineSpacing = 0);
  // The green "我知道了" button (200 x 30, centred) at y.
  static std::shared_ptr<UIButton> knowButton(double viewWidth, double y);

  // A label whose text is `text` with the UTF-16 ranges painted in `color`.
  static std::shared_ptr<NSMutableAttributedString> colored(const std::string& text, NSRange range,
                                                            const std::shared_ptr<UIColor>& color);
  static std::shared_ptr<NSMutableAttributedString> colored(const std::string& text, NSRange first,
                                                            NSRange second,
                                                            const std::shared_ptr<UIColor>& color);

  // A label with the system font of the given size.
  static std::shared_ptr<UILabel> label(CGRect frame, const std::string& text, double fontSize);
  // A custom button with a title, title colour, background colour and system font size.
  static std::shared_ptr<UIButton> button(CGRect frame, const std::string& title,
                                          const std::shared_ptr<UIColor>& titleColor,
                                          const std::shared_ptr<UIColor>& background,
                                          double fontSize);

  // A control action that calls `method` on `self` while it lives (held weakly).
  template <class T>
  static auto action(const std::shared_ptr<T>& self, void (T::*method)()) {
    std::weak_ptr<T> weak = self;
    return [weak, method](auto&&...) {
      if (auto strong = weak.lock()) ((*strong).*method)();
    };
  }

  // Takes `view` out of its superview now and lets its last reference go on the run loop,
  // so that a view removed from inside one of its own handlers outlives that handler.
  static void removeLater(const std::shared_ptr<UIView>& view);

  // Shows a one-button alert without a delegate.
  static void alert(const std::string& title, const std::string& message,
                    const std::string& button);
};
