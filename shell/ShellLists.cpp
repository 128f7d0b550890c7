#include "shell/ShellLists.h"

#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSFileManager.h"
#include "platform/foundation/NSLog.h"

Value ShellLists::slides() { return listNamed("slides"); }

Value ShellLists::games() { return listNamed("games"); }

Value ShellLists::kaifubiao() { return listNamed("kaifubiao"); }

Value ShellLists::listNamed(const std::string& key) {
  Value list = Value::array();
  const std::string path = NSBundle::mainBundle().pathForResource(kFileName);
  const auto text =
      path.empty() ? std::nullopt : NSFileManager::defaultManager().stringWithContentsOfFile(path);
  if (!text) {
    NSLog("ShellLists: %@ is missing", std::string(kFileName));
    return list;
  }
  const auto lists = Value::fromJSON(*text);
  if (!lists || !lists->isDict()) {
    NSLog("ShellLists: %@ holds no lists", std::string(kFileName));
    return list;
  }
  const Value& entries = (*lists)[key];
  if (!entries.isArray()) {
    NSLog("ShellLists: %@ has no list %@", std::string(kFileName), key);
    return list;
  }
  // A row is built from a dictionary's keys; anything else would only make an empty row.
  for (const auto& entry : entries.arrayValue()) {
    if (entry.isDict()) list.append(entry);
  }
  return list;
}
