#include "parley/stats/PLOStatDataConfig.h"

#include "parley/stats/PLOStatConfig.h"
#include "parley/stats/PLOStatHelper.h"

namespace {}  // namespace

bool PLOStatDataConfig::decode(const Value& dict) {
  if (dict.isNil()) return false;
  const Value& c = dict["c"];
  const Value& v = dict["v"];
  const Value& m = dict["m"];
  if (c.isNil() || v.isNil() || m.isNil()) return false;
  if (!c.isDict()) {
    PLOStatLog("Not NSDictionary for decoded config content:%@", className(c));
    return false;
  }
  if (!v.isNumber()) {
    PLOStatLog("Not NSDictionary for decoded config version:%@", className(v));
    return false;
  }
  if (!m.isString()) {
    PLOStatLog("Not NSDictionary for decoded config md5:%@", className(m));
    return false;
  }
  md5 = m.str();
  content = PLOStatHelper::getJson(c);
  // An unsigned 32-bit version: 3000000000 stays itself, not the largest signed number.
  version = static_cast<uint32_t>(v.longLongValue());
  return true;
}

void PLOStatDataConfig::encodeWithNoContent(Value& dict) const {
  if (!dict.isDict()) return;
  dict.set("v", Value(static_cast<unsigned>(version)));
}

std::string PLOStatDataConfig::className(const Value& v) {
  switch (v.kind()) {
    case Value::Kind::String:
      return "__NSCFString";
    case Value::Kind::Array:
      return "__NSArrayI";
    case Value::Kind::Dict:
      return "__NSDictionaryI";
    case Value::Kind::Data:
      return "NSConcreteData";
    case Value::Kind::Bool:
      return "__NSCFBoolean";
    case Value::Kind::Integer:
    case Value::Kind::Real:
      return "__NSCFNumber";
    case Value::Kind::Date:
      return "__NSDate";
    default:
      return "NSNull";
  }
}
