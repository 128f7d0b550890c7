#include "parley/stats/PLOStatPasteboard.h"

#include "platform/foundation/NSBundle.h"
#include "platform/uikit/UIPasteboard.h"

namespace {
std::shared_ptr<UIPasteboard> modulePasteboard() {
  auto pasteboard = UIPasteboard::pasteboardWithName(PLOStatPasteboard::getCompanyDomain(), true);
  if (pasteboard && !pasteboard->isPersistent()) pasteboard->setPersistent(true);
  return pasteboard;
}
}  // namespace

void PLOStatPasteboard::set(const std::string& type, const std::string& value) {
  auto pasteboard = modulePasteboard();
  if (!pasteboard) return;
  pasteboard->setData(std::vector<uint8_t>(value.begin(), value.end()), type);
}

std::string PLOStatPasteboard::get(const std::string& type) {
  auto pasteboard = modulePasteboard();
  if (!pasteboard) return "";
  auto bytes = pasteboard->dataForPasteboardType(type);
  if (!bytes) return "";
  return std::string(bytes->begin(), bytes->end());
}

std::string PLOStatPasteboard::getCompanyDomain() {
  std::string identifier = NSBundle::mainBundle().bundleIdentifier();
  auto dot = identifier.rfind('.');
  if (dot == std::string::npos) return identifier;
  return identifier.substr(0, dot);
}
