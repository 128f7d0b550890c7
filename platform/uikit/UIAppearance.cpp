#include "platform/uikit/UIAppearance.h"

#include <mutex>
#include <set>
#include <vector>

#include "platform/foundation/NSObject.h"

namespace {

struct Store {
  std::mutex mutex;
  std::map<std::string, std::map<std::string, std::any>> byClass;
};

Store& store() {
  static Store* s = new Store();  // never destroyed: views may be made during static teardown
  return *s;
}

}  // namespace

void UIAppearance::set(const std::string& className, const std::string& key, std::any value) {
  Store& s = store();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.byClass[className][key] = std::move(value);
}

std::map<std::string, std::any> UIAppearance::valuesFor(const std::string& className) {
  ClassRegistry::initializeClass(className);
  std::vector<std::string> chain;  // the class, then its superclasses
  std::set<std::string> seen;
  for (std::string c = className; !c.empty() && ClassRegistry::exists(c) && seen.insert(c).second;
       c = ClassRegistry::superclassName(c))
    chain.push_back(c);
  std::map<std::string, std::any> values;
  Store& s = store();
  std::lock_guard<std::mutex> lock(s.mutex);
  for (const auto& c : chain) {
    auto it = s.byClass.find(c);
    if (it == s.byClass.end()) continue;
    for (const auto& [key, value] : it->second) values.emplace(key, value);  // nearer wins
  }
  return values;
}

void UIAppearance::resetForTesting() {
  {
    Store& s = store();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.byClass.clear();
  }
  ClassRegistry::resetInitializedClassesForTesting();
}
