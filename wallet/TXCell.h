#pragma once
// A row of the withdrawal records: date over time, bound gold, money paid and the state
// ("审核中" while under review, else "打款完成") in four equal columns. Main thread only.

#include <memory>
#include <string>

#include "platform/foundation/Value.h"
#include "platform/uikit/UITableViewCell.h"

class UILabel;

class TXCell : public UITableViewCell {
  TOVIRA_CLASS(TXCell)
  static std::shared_ptr<TXCell> create(const std::string& reuseIdentifier);
  void initWithReuseIdentifier(const std::string& reuseIdentifier);
  // Shows a withdrawal record: "addtime" as date and time, "amount", "cash" and "status".
  void setCellData(const Value& record);

  std::shared_ptr<UILabel> dateLabel, timeLabel, numLabel, rmbLabel, stateLabel;
};
