#pragma once

#include <memory>

#include "platform/foundation/Value.h"
#include "platform/uikit/UIViewController.h"

class TabBarController;
class UIScrollView;

// The home screen: the platform's name, its slides, and the entries into the tab bar, the game
// centre and the server-opening timetable.
//
// The slides come from the bundled lists (ShellLists), one tappable row each, titled with the
// slide's "title". A tap leaves the slide's "extras" as ControllerData and presents a new
// screen of the class named by "classname", made with plain init, modally, animated.
//
// The entry button presents a new TabBarController modally, animated; the bar's "首页"
// dismisses it again. The game centre is a screen of the tab bar, so that it can switch tabs
// through its parent: its entry presents a new TabBarController and switches it to the game
// centre. The timetable is presented modally, animated. Main thread only.
class HomeViewController : public UIViewController {
  TOVIRA_CLASS(HomeViewController)
  static constexpr const char* kPlatformName = "Tovira手游";
  static constexpr const char* kEntryTitle = "进入平台";
  static constexpr const char* kGameCenterTitle = "游戏中心";
  static constexpr const char* kKaifubiaoTitle = "开服表";
  static constexpr double kSlideHeight = 36;
  static constexpr double kSlideStep = 44;

  static std::shared_ptr<HomeViewController> create();
  void viewDidLoad() override;

  // The slides as read when the view loaded, and the band that shows them.
  const Value& slides() const { return slides_; }
  std::shared_ptr<UIScrollView> slideView() const { return slideView_; }

  // The entry button's action.
  void enterclick();
  // A slide's action. A class name that the registry does not know, or that names no screen,
  // presents nothing and leaves ControllerData as it was.
  void slideclick(const Value& slide);
  void gamecenterclick();
  void kaifubiaoclick();

 private:
  void addSlides(double width);

  Value slides_;
  std::shared_ptr<UIScrollView> slideView_;
};
