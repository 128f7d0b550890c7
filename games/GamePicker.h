#pragma once
// The drop-down game picker with its A-Z letter column, shared by the game-account binding tab
// and the new-user gift page. The host owns the two scroll views (the game list and the
// 30-point letter column) and the chosen result; these helpers fill them from the game-list
// reply and answer what a tapped row or letter means.
//
// A game row is a label whose tag is its position in the list and whose one hidden child label
// (tag kPlatformTag) holds the game's plat_id; its visible text is two blanks, the index letter
// (or "无"), two blanks and the game name. The name is held nowhere else.
//
// Main thread only. Row and letter taps call the host's handlers with the tapped recognizer;
// the host is held weakly by the recognizers.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/Value.h"
#include "platform/uikit/TargetAction.h"

class UIColor;
class UIGestureRecognizer;
class UILabel;
class UIScrollView;
class UIView;

class GamePicker {
 public:
  static constexpr long kPlatformTag = 8;
  static constexpr double kRowHeight = 30;

  using TapHandler = std::function<void(UIGestureRecognizer&)>;

  static std::shared_ptr<UIColor> grey();         // 183/183/183: row text, separators, borders
  static std::shared_ptr<UIColor> highlight();    // 118/181/72: matching rows, the tapped letter
  static std::shared_ptr<UIColor> badgeColour();  // 255/193/87: the "H5" badge

  // The parameters of the picker's game-list request: the whole list ("unlimit" 1) for the
  // logged-in player's "is_special", sent as "(null)" when there is none.
  static Value wholeListParams();
  // The games of a game-list reply: the dictionaries of its "data" array. Anything else in
  // "data" (a dictionary instead of a list, text or numbers among the items) adds no game.
  static std::vector<Value> gamesOf(const Value& reply);

  // Replaces the rows of `gamescroll` by the reply's games. A present reply sets the content
  // height to 30 per game; rows are built only when "state" is "ok" and there are games.
  // `badges` adds the "H5" badge beside platform-3 games.
  static void addGame(UIScrollView& gamescroll, const Value& reply, bool badges,
                      const WeakTarget& target, TapHandler rowTap);
  // Replaces the letter column's content by the 26 tappable letters A to Z.
  static void addWord(UIScrollView& gamezimuscroll, const WeakTarget& target, TapHandler letterTap);

  // A letter was tapped: rows beginning with it turn green and the others grey, the letters
  // black with the tapped one green, and the list scrolls (animated) so that the first match
  // stands at the top. No match only recolours.
  static void highlightLetter(UIScrollView& gamescroll, UIScrollView& gamezimuscroll,
                              const UILabel& letter);

  // The game rows of the list, in list order (badges and separators are no rows).
  static std::vector<std::shared_ptr<UILabel>> rows(const UIScrollView& gamescroll);
  // The game name a row shows: its text trimmed, less the index letter, trimmed again.
  static std::string chosenName(const UILabel& row);
  // The plat_id kept in the row's own hidden child label ("" when it has none). The row itself
  // is never taken for that label, whatever its tag.
  static std::string platformOf(const UIView& row);
};
