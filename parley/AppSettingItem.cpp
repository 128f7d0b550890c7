#include "parley/AppSettingItem.h"

void AppSettingItem::encodeWithCoder(Value& coder) const {
  coder.set("appID", appID);
  coder.set("openID", openID);
  coder.set("flag", Value(flag));
  coder.set("appAddedByUser", Value::boolean(appAddedByUser));
}

AppSettingItem AppSettingItem::initWithCoder(const Value& coder) {
  AppSettingItem item;
  item.appID = coder["appID"].str();
  item.openID = coder["openID"].str();
  item.flag = static_cast<uint32_t>(coder["flag"].longLongValue());
  item.appAddedByUser = coder["appAddedByUser"].boolValue();
  return item;
}
