#pragma once

#include <memory>
#include <string>

#include "platform/foundation/Value.h"
#include "platform/uikit/UIViewController.h"

class UIScrollView;

// The game centre: a screen of the tab bar that lists the games of the bundled lists
// (ShellLists), one row each with the game's name and two buttons. "礼包" presents a new
// gift-package page for that game, its name set with setGamename before the presentation;
// "绑定账号" switches the tab bar to the game-account binding tab by class name, through the
// parent tab bar controller. Presented on its own, without a tab bar for a parent, it shows a
// "返回" button that dismisses it, and its binding entry does nothing.
//
// The rows' buttons carry tags kLibaoTagBase + i and kBindTagBase + i for row i. The tab bar's
// own bar covers the bottom 49 points, which the list leaves free. Main thread only.
class GameCenterController : public UIViewController {
  TOVIRA_CLASS(GameCenterController)
  static constexpr const char* kTitle = "游戏中心";
  static constexpr const char* kLibaoTitle = "礼包";
  static constexpr const char* kBindTitle = "绑定账号";
  static constexpr const char* kBindClassName = "BindToviraController";
  static constexpr long kLibaoTagBase = 300;
  static constexpr long kBindTagBase = 400;
  static constexpr double kRowHeight = 50;

  static std::shared_ptr<GameCenterController> create();
  void viewDidLoad() override;

  const Value& games() const { return games_; }
  std::shared_ptr<UIScrollView> gameList() const { return gameList_; }

  // The rows' actions.
  void libaoclick(const std::string& gamename);
  void bindclick();

 private:
  void addRow(size_t index, const std::string& gamename, double width);

  Value games_;
  std::shared_ptr<UIScrollView> gameList_;
};
