#include "platform/foundation/NSObject.h"

#include <cstdio>
#include <set>

#include "platform/foundation/RunLoop.h"

namespace {

struct ClassInfo {
  std::string superName;
  ClassRegistry::Factory make;
  ClassRegistry::Factory alloc;
};

struct Registry {
  std::mutex mutex;
  std::map<std::string, ClassInfo> classes{{"NSObject", ClassInfo{"", nullptr, nullptr}}};
  std::map<std::string, ClassRegistry::Initializer> initializers;
  std::set<std::string> initialized;
  // Held while classes are initialised, so that another thread asking for a class waits until
  // its hook has run; recursive, because a hook may make objects of other classes.
  std::recursive_mutex initializing;
};

Registry& registry() {
  // Never destroyed: classes may be looked up from static destructors.
  static Registry* r = new Registry();
  return *r;
}

}  // namespace

NSObject::~NSObject() = default;

bool NSObject::isKindOfClass(const std::string& name) const {
  std::string mine = className();
  if (mine == name || name == "NSObject") return true;
  return ClassRegistry::isSubclass(mine, name);
}

std::string NSObject::description() const {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%p", static_cast<const void*>(this));
  return "<" + className() + ": " + buf + ">";
}

void NSObject::setAssociatedObject(const std::string& key, std::shared_ptr<void> value) {
  std::shared_ptr<void> old;  // released after the lock, in case its destructor calls back
  std::lock_guard<std::mutex> lock(associatedMutex_);
  auto it = associated_.find(key);
  if (it != associated_.end()) {
    old = std::move(it->second);
    associated_.erase(it);
  }
  if (value) associated_.emplace(key, std::move(value));
}

std::shared_ptr<void> NSObject::associatedObject(const std::string& key) const {
  std::lock_guard<std::mutex> lock(associatedMutex_);
  auto it = associated_.find(key);
  return it == associated_.end() ? nullptr : it->second;
}

void ClassRegistry::registerClass(const std::string& name, const std::string& superName,
                                  Factory make, Factory alloc) {
  if (name.empty() || name == "NSObject") return;
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.classes[name] =
      ClassInfo{superName.empty() ? "NSObject" : superName, std::move(make), std::move(alloc)};
}

std::shared_ptr<NSObject> ClassRegistry::alloc(const std::string& name) {
  Factory alloc;
  {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.classes.find(name);
    if (it == r.classes.end() || !it->second.alloc) return nullptr;
    alloc = it->second.alloc;
  }
  initializeClass(name);
  return alloc();
}

void ClassRegistry::setInitializer(const std::string& name, Initializer hook) {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  if (hook) {
    r.initializers[name] = std::move(hook);
  } else {
    r.initializers.erase(name);
  }
}

void ClassRegistry::initializeClass(const std::string& name) {
  Registry& r = registry();
  std::lock_guard<std::recursive_mutex> initializing(r.initializing);
  std::vector<std::string> chain;  // the class, then its superclasses up to NSObject
  {
    std::lock_guard<std::mutex> lock(r.mutex);
    std::set<std::string> seen;
    for (std::string current = name; !current.empty() && seen.insert(current).second;) {
      auto it = r.classes.find(current);
      if (it == r.classes.end()) break;
      chain.push_back(current);
      current = it->second.superName;
    }
  }
  for (size_t i = chain.size(); i-- > 0;) {
    Initializer hook;
    {
      std::lock_guard<std::mutex> lock(r.mutex);
      // Marked before the hook runs: a hook that makes an object of its own class does not
      // start the class's initialisation again.
      if (!r.initialized.insert(chain[i]).second) continue;
      for (size_t j = i; j < chain.size() && !hook; ++j) {
        auto it = r.initializers.find(chain[j]);
        if (it != r.initializers.end()) hook = it->second;
      }
    }
    if (hook) hook(chain[i]);  // outside the lock: the hook uses the registry
  }
}

void ClassRegistry::resetInitializedClassesForTesting() {
  Registry& r = registry();
  std::lock_guard<std::recursive_mutex> initializing(r.initializing);
  std::lock_guard<std::mutex> lock(r.mutex);
  r.initialized.clear();
}

std::shared_ptr<NSObject> ClassRegistry::create(const std::string& name) {
  Factory make;
  {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.classes.find(name);
    if (it == r.classes.end() || !it->second.make) return nullptr;
    make = it->second.make;
  }
  initializeClass(name);
  return make();  // outside the lock: constructors may register or look up classes
}

bool ClassRegistry::exists(const std::string& name) {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  return r.classes.count(name) > 0;
}

std::string ClassRegistry::superclassName(const std::string& name) {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto it = r.classes.find(name);
  return it == r.classes.end() ? "" : it->second.superName;
}

bool ClassRegistry::isSubclass(const std::string& name, const std::string& ancestor) {
  if (name == ancestor) return true;
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  std::set<std::string> seen;  // guards against a cycle of mistaken registrations
  std::string current = name;
  while (seen.insert(current).second) {
    auto it = r.classes.find(current);
    if (it == r.classes.end()) return false;
    current = it->second.superName;
    if (current.empty()) return false;
    if (current == ancestor) return true;
  }
  return false;
}

std::vector<std::string> ClassRegistry::allClassNames() {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  std::vector<std::string> names;
  for (const auto& kv : r.classes) names.push_back(kv.first);
  return names;
}

// NSTimer takes part in the runtime like any platform class.
TOVIRA_REGISTER_CLASS(NSTimer, NSObject)
