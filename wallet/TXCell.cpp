#include "wallet/TXCell.h"

#include "platform/uikit/UILabel.h"
#include "wallet/MoneyDetailCell.h"

TOVIRA_REGISTER_CLASS(TXCell, UITableViewCell)

std::shared_ptr<TXCell> TXCell::create(const std::string& reuseIdentifier) {
  auto cell = std::make_shared<TXCell>();
  cell->initWithReuseIdentifier(reuseIdentifier);
  return cell;
}

void TXCell::initWithReuseIdentifier(const std::string& reuseIdentifier) {
  initWithStyle(UITableViewCellStyleDefault, reuseIdentifier);
  MoneyRow::layout(*this, dateLabel, timeLabel, numLabel, rmbLabel, stateLabel);
}

void TXCell::setCellData(const Value& record) {
  MoneyRow::showDate(record["addtime"], *dateLabel, *timeLabel);
  numLabel->setText(record["amount"].str());
  rmbLabel->setText(record["cash"].str());
  stateLabel->setText(record["status"].intValue() == 0 ? "审核中" : "打款完成");
}
