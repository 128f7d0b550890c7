#pragma once
// A row of the gold or bound-gold ledger: date over time, amount, balance and type in four
// equal columns, with a small arrow hinting that a tap shows the record's remark.
// Main thread only.

#include <memory>
#include <string>

#include "platform/foundation/Value.h"
#include "platform/uikit/UITableViewCell.h"

class UILabel;

class MoneyDetailCell : public UITableViewCell {
  TOVIRA_CLASS(MoneyDetailCell)
  static std::shared_ptr<MoneyDetailCell> create(const std::string& reuseIdentifier);
  void initWithReuseIdentifier(const std::string& reuseIdentifier);
  // Shows a balance record: "qx_addtime" as date and time, "qx_amount", "qx_balance", "type".
  void setCellData(const Value& record);

  std::shared_ptr<UILabel> dateLabel, timeLabel, numLabel, yeLabel, wayLabel;
};

// The four-column layout that ledger and withdrawal rows share, and their date split.
namespace MoneyRow {
// Date, time and three value labels in the quarter-width columns of the screen, added to `cell`.
void layout(UITableViewCell& cell, std::shared_ptr<UILabel>& date, std::shared_ptr<UILabel>& time,
            std::shared_ptr<UILabel>& second, std::shared_ptr<UILabel>& third,
            std::shared_ptr<UILabel>& fourth);
// Writes the time stamp's date and time ("yyyy/MM/dd" and "HH:mm:ss") into the two labels.
void showDate(const Value& timestamp, UILabel& date, UILabel& time);
}  // namespace MoneyRow
