#pragma once

#include <memory>
#include <string>

#include "platform/foundation/Value.h"
#include "platform/uikit/UIViewController.h"

class UIScrollView;

// The server-opening timetable: one row for each opening of the bundled lists (ShellLists),
// with the game's name, the server and the opening time ("MM-dd HH:mm" in the device's time
// zone), and a "礼包" button that leaves GiftSearchArgs {"gamename"} as ControllerData and
// presents a new gift-package page, modally, animated. Presented modally from the home screen;
// "返回" dismisses it. Row i's button carries the tag kLibaoTagBase + i. Main thread only.
class KaifubiaoController : public UIViewController {
  TOVIRA_CLASS(KaifubiaoController)
  static constexpr const char* kTitle = "开服表";
  static constexpr const char* kLibaoTitle = "礼包";
  static constexpr const char* kTimeFormat = "MM-dd HH:mm";
  static constexpr long kLibaoTagBase = 300;
  static constexpr double kRowHeight = 50;

  static std::shared_ptr<KaifubiaoController> create();
  void viewDidLoad() override;

  const Value& rows() const { return rows_; }
  std::shared_ptr<UIScrollView> list() const { return list_; }

  // A row's "礼包" button.
  void libaoclick(const std::string& gamename);

 private:
  void addRow(size_t index, const Value& row, double width);

  Value rows_;
  std::shared_ptr<UIScrollView> list_;
};
