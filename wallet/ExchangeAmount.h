#pragma once
// The amount of an exchange of coins into platform currency. The amount popup's preview,
// the confirm popup and the success popup must show the same number for the same amount,
// so the typed text is read once, as a 64-bit integer, and every number shown comes from
// that integer. This mends a fault of the success popup, which read the amount as a
// single-precision decimal: above 2^24 coins it announced a number other than the one confirmed
// (16777217 gave 15938355.20 instead of 15938356.15).

#include <string>

class ExchangeAmount {
 public:
  // The integer value of the typed text: leading whitespace, an optional sign and digits;
  // 0 when there are none; clamped to the 64-bit range.
  static long long coins(const std::string& typed);
  // The platform currency that `coins` buys at the rate 1:0.95, written "%.2f".
  static std::string platformCoinText(long long coins);
};
