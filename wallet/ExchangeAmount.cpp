#include "wallet/ExchangeAmount.h"

#include "platform/foundation/NSString.h"
#include "platform/foundation/Value.h"

long long ExchangeAmount::coins(const std::string& typed) { return Value(typed).longLongValue(); }

std::string ExchangeAmount::platformCoinText(long long coins) {
  return NSString::stringWithFormat("%.2f", static_cast<double>(coins) * 0.95);
}
