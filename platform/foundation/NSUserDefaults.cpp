#include "platform/foundation/NSUserDefaults.h"

#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSFileManager.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/Plist.h"
#include "platform/foundation/Sandbox.h"

namespace {
NSUserDefaults* gStandard = nullptr;
std::mutex gStandardMutex;
}  // namespace

NSUserDefaults& NSUserDefaults::standardUserDefaults() {
  std::lock_guard<std::mutex> lock(gStandardMutex);
  if (!gStandard) gStandard = new NSUserDefaults();  // lives for the whole process
  return *gStandard;
}

void NSUserDefaults::resetStandardUserDefaults() {
  NSUserDefaults& d = standardUserDefaults();
  Value dropped;  // released after the lock
  std::lock_guard<std::mutex> lock(d.mutex_);
  dropped = std::move(d.values_);
  d.values_ = Value();
  d.loaded_ = false;
}

std::string NSUserDefaults::filePath() const {
  return Sandbox::preferences() + "/" + NSBundle::mainBundle().bundleIdentifier() + ".plist";
}

void NSUserDefaults::ensureLoadedLocked() const {
  uint64_t generation = Sandbox::generation();
  if (loaded_ && generation == generation_) return;
  loaded_ = true;
  generation_ = generation;
  values_ = Value(Value::Dict{});
  auto bytes = NSFileManager::defaultManager().contentsAtPath(filePath());
  if (!bytes) return;
  auto parsed = Plist::parse(*bytes);
  if (parsed && parsed->isDict())
    values_ = *parsed;
  else
    NSLog("NSUserDefaults: ignored an unreadable preferences file %@", filePath());
}

bool NSUserDefaults::saveLocked() const {
  auto& fm = NSFileManager::defaultManager();
  fm.createDirectoryAtPath(Sandbox::preferences(), true);
  auto bytes = Plist::toBinary(values_.isDict() ? values_ : Value(Value::Dict{}));
  if (bytes.empty()) bytes = Plist::toBinary(Value(Value::Dict{}));
  bool ok = fm.createFileAtPath(filePath(), bytes);
  if (!ok) NSLog("NSUserDefaults: could not write %@", filePath());
  return ok;
}

Value NSUserDefaults::objectForKey(const std::string& key) const {
  std::lock_guard<std::mutex> lock(mutex_);
  ensureLoadedLocked();
  return values_[key];
}

void NSUserDefaults::setObject(const Value& v, const std::string& key) {
  Value old;
  std::lock_guard<std::mutex> lock(mutex_);
  ensureLoadedLocked();
  old = values_[key];
  values_.set(key, v);  // nil removes
  saveLocked();
}

void NSUserDefaults::removeObjectForKey(const std::string& key) { setObject(Value(), key); }

std::string NSUserDefaults::stringForKey(const std::string& key) const {
  return objectForKey(key).str();
}
bool NSUserDefaults::boolForKey(const std::string& key) const {
  return objectForKey(key).boolValue();
}
long NSUserDefaults::integerForKey(const std::string& key) const {
  return objectForKey(key).integerValue();
}
double NSUserDefaults::doubleForKey(const std::string& key) const {
  return objectForKey(key).doubleValue();
}
Value::Data NSUserDefaults::dataForKey(const std::string& key) const {
  return objectForKey(key).dataValue();
}
void NSUserDefaults::setBool(bool b, const std::string& key) { setObject(Value::boolean(b), key); }
void NSUserDefaults::setInteger(long n, const std::string& key) { setObject(Value(n), key); }
void NSUserDefaults::setDouble(double d, const std::string& key) { setObject(Value(d), key); }

Value NSUserDefaults::dictionaryRepresentation() const {
  std::lock_guard<std::mutex> lock(mutex_);
  ensureLoadedLocked();
  return values_;
}

bool NSUserDefaults::synchronize() {
  std::lock_guard<std::mutex> lock(mutex_);
  ensureLoadedLocked();
  return saveLocked();
}
