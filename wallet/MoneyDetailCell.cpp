#include "wallet/MoneyDetailCell.h"

#include "core/Time.h"
#include "platform/foundation/NSString.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScreen.h"

TOVIRA_REGISTER_CLASS(MoneyDetailCell, UITableViewCell)

namespace MoneyRow {

void layout(UITableViewCell& cell, std::shared_ptr<UILabel>& date, std::shared_ptr<UILabel>& time,
            std::shared_ptr<UILabel>& second, std::shared_ptr<UILabel>& third,
            std::shared_ptr<UILabel>& fourth) {
  const double W = UIScreen::mainScreen()->bounds().size.width / 4;
  auto make = [&](CGRect frame, NSTextAlignment alignment) {
    auto label = UILabel::create(frame);
    label->setFont(UIFont::systemFontOfSize(12));
    label->setTextAlignment(alignment);
    cell.contentView()->addSubview(label);
    return label;
  };
  date = make(CGRectMake(0, 0, W, 15), NSTextAlignmentCenter);
  time = make(CGRectMake(0, 15, W, 15), NSTextAlignmentCenter);
  second = make(CGRectMake(W, 0, W, 30), NSTextAlignmentCenter);
  third = make(CGRectMake(2 * W, 0, W, 30), NSTextAlignmentCenter);
  fourth = make(CGRectMake(3 * W, 0, W, 30), NSTextAlignmentLeft);
}

void showDate(const Value& timestamp, UILabel& date, UILabel& time) {
  const std::string text = Time::getDateFromTimestamp(timestamp.intValue(), "yyyy/MM/dd HH:mm:ss");
  const auto parts = NSString::componentsSeparatedByString(text, " ");
  date.setText(parts.empty() ? "" : parts[0]);
  time.setText(parts.size() < 2 ? "" : parts[1]);
}

}  // namespace MoneyRow

std::shared_ptr<MoneyDetailCell> MoneyDetailCell::create(const std::string& reuseIdentifier) {
  auto cell = std::make_shared<MoneyDetailCell>();
  cell->initWithReuseIdentifier(reuseIdentifier);
  return cell;
}

void MoneyDetailCell::initWithReuseIdentifier(const std::string& reuseIdentifier) {
  initWithStyle(UITableViewCellStyleDefault, reuseIdentifier);
  MoneyRow::layout(*this, dateLabel, timeLabel, numLabel, yeLabel, wayLabel);
  auto more =
      UIImageView::create(CGRectMake(UIScreen::mainScreen()->bounds().size.width - 15, 10, 10, 10));
  more->setImage(UIImage::imageNamed("ktr_ic_record_more.png"));
  contentView()->addSubview(more);
}

void MoneyDetailCell::setCellData(const Value& record) {
  MoneyRow::showDate(record["qx_addtime"], *dateLabel, *timeLabel);
  numLabel->setText(record["qx_amount"].str());
  yeLabel->setText(record["qx_balance"].str());
  wayLabel->setText(record["type"].str());
}
