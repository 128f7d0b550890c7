#pragma once
// What the three gift lists (the gift tab's games, one game's packages, the gift records)
// share about loading page by page, and the small pieces of their screens that are alike.
//
// Main thread only: a screen takes a ticket before it sends a page request to a global queue
// and hands the ticket back with the reply on the main queue.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Value.h"
#include "platform/uikit/CGGeometry.h"
#include "platform/uikit/TargetAction.h"

class UIActivityIndicatorView;
class UIButton;
class UILabel;
class UIScrollView;
class UIView;
class UITextField;

// The page counter of one paged list. It allows one page request at a time, moves on to the
// next page only when a page has arrived (so that a page that failed is asked for again on the
// next scroll), and lets a new list (a search) drop every reply that belongs to the list before.
class GiftPager {
 public:
  struct Ticket {
    int page = 1;
    unsigned generation = 0;
  };

  // The number of the next page to ask for; 1 for a new list.
  int page() const { return page_; }
  bool isLoading() const { return inFlight_; }

  // A ticket for the next page, or nothing while a page of this list is still on its way.
  std::optional<Ticket> begin();
  // The reply to a ticket has come. Answers false when it belongs to an earlier list: its rows
  // must be dropped. Otherwise the list is ready for its next request, and when `arrived` (the
  // server sent a page, even an empty one) the counter moves past the ticket's page.
  bool finish(const Ticket& ticket, bool arrived);
  // A new list starts at page 1; replies still on their way for the old one will be dropped.
  void restart();

 private:
  int page_ = 1;
  unsigned generation_ = 0;
  bool inFlight_ = false;
};

namespace GiftLists {

// The items of a list reply, or nothing when no page arrived: no reply, a "state" other than
// "ok", or a "data" that is not an array (JSON null included). Items that are not dictionaries
// are left out.
std::optional<std::vector<Value>> pageItems(const Value& reply);

// A game name or search word as it goes into a request: every byte outside the unreserved
// characters percent-escaped (UTF-8), so that "&" or "=" in it cannot add keys.
std::string escapedName(const std::string& name);

// The prompt label lying over a search field shows exactly while the field is empty.
void syncPrompt(const UITextField& field, UILabel& prompt);

// Whether a scroll view's end of drag is near enough to its content's end to ask for the next
// page: offset y + height + 100 beyond the content height.
bool nearEnd(double offsetY, double height, double contentHeight);
// The same for a list that has just stopped: its offset, height and content height.
bool nearEnd(const UIScrollView& scroll);

// Empties a list for a new search: its subviews tagged `rowTag` go, and its content height is 0.
void clearRows(UIScrollView& scroll, long rowTag);

// The text of the hidden (or shown) child label with this tag, "" when there is none.
std::string childText(const UIView& parent, long tag);

// A hidden label that carries a value for a control: its text under a small tag.
std::shared_ptr<UILabel> hiddenValue(const std::string& text, long tag);

// The popup that tells how gold and bound gold are earned, `frame` sized 300 x 260, with its
// "我知道了" button; the caller wires the button and places the popup.
struct InfoPopup {
  std::shared_ptr<UIView> view;
  std::shared_ptr<UIButton> button;
};
InfoPopup howGetGoldPopup(CGRect frame);
// The gift rules popup, 300 x 300, in the same form.
InfoPopup rulesPopup(CGRect frame);

// A black view at alpha 0.5 over `frame` that takes every touch, hidden until shown.
std::shared_ptr<UIView> makeMask(CGRect frame);

// The large white spinner centred in a width x height area, hidden while it stands still.
std::shared_ptr<UIActivityIndicatorView> makeSpinner(double width, double height);

// The green title bar of the gift screens, 46 high across `width` under the 20-point status
// bar: the white "返回" label on the left, whose tap calls `back`, and the centred white title.
// `owner` (the screen) is the tap's target and is held weakly; `back` must hold it weakly too.
// The caller adds the bar to its view and may add more to it.
struct TitleBar {
  std::shared_ptr<UIView> view;
  std::shared_ptr<UILabel> backLabel;
};
TitleBar titleBar(WeakTarget owner, double width, const std::string& title,
                  std::function<void()> back);

// The search row of the gift tab and of the packages, at y 71 across `width`, added to `root`:
// the green-bordered search field with its grey prompt "请输入游戏名称" lying over it (kept in step
// with the field's text, `owner` being the weakly held target), the green "搜索" button and the
// red-bordered "领取记录" button. The caller sets the field's delegate and wires the buttons.
struct SearchRow {
  std::shared_ptr<UITextField> field;
  std::shared_ptr<UILabel> prompt;
  std::shared_ptr<UIButton> searchButton;
  std::shared_ptr<UIButton> recordButton;
};
SearchRow searchRow(WeakTarget owner, UIView& root, double width);

}  // namespace GiftLists
