#include "platform/uikit/UIPasteboard.h"

#include <atomic>
#include <map>

#include "platform/foundation/Plist.h"

const std::string UIPasteboardNameGeneral = "general";
const std::string UIPasteboardTypeText = "public.utf8-plain-text";

namespace {
const char* const kTextTypes[] = {"public.utf8-plain-text", "public.text", "public.plain-text"};

// The store before a device installs its own: pasteboards in memory, for the process's life.
class MemoryStore : public UIPasteboardStore {
 public:
  std::shared_ptr<UIPasteboard> pasteboard(const std::string& name, bool create) override {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = pasteboards_.find(name);
    if (it != pasteboards_.end()) return it->second;
    if (!create && name != UIPasteboardNameGeneral) return nullptr;
    auto made = std::make_shared<UIPasteboard>(name);
    pasteboards_[name] = made;
    return made;
  }
  void removePasteboard(const std::string& name) override {
    std::shared_ptr<UIPasteboard> drop;  // released after the lock
    std::lock_guard<std::mutex> lock(mutex_);
    if (name == UIPasteboardNameGeneral) return;
    auto it = pasteboards_.find(name);
    if (it == pasteboards_.end()) return;
    drop = std::move(it->second);
    pasteboards_.erase(it);
  }
  void persist(const UIPasteboard&) override {}

 private:
  std::mutex mutex_;
  std::map<std::string, std::shared_ptr<UIPasteboard>> pasteboards_;
};

std::atomic<UIPasteboardStore*> gStore{nullptr};

}  // namespace

void UIPasteboard::setStore(UIPasteboardStore* store) { gStore.store(store); }

UIPasteboardStore& UIPasteboard::store() {
  if (UIPasteboardStore* installed = gStore.load()) return *installed;
  static MemoryStore memory;
  return memory;
}

UIPasteboard::UIPasteboard(std::string name) : name_(std::move(name)) {
  persistent_ = name_ == UIPasteboardNameGeneral;
}

std::shared_ptr<UIPasteboard> UIPasteboard::generalPasteboard() {
  return store().pasteboard(UIPasteboardNameGeneral, true);
}

std::shared_ptr<UIPasteboard> UIPasteboard::pasteboardWithName(const std::string& name,
                                                               bool create) {
  if (name.empty()) return nullptr;
  return store().pasteboard(name, create);
}

std::shared_ptr<UIPasteboard> UIPasteboard::pasteboardWithUniqueName() {
  static std::atomic<long> counter{0};
  return pasteboardWithName("com.tovira.pboard.unique." + std::to_string(++counter), true);
}

void UIPasteboard::removePasteboardWithName(const std::string& name) {
  store().removePasteboard(name);
}

bool UIPasteboard::isPersistent() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return persistent_;
}

void UIPasteboard::setPersistent(bool persistent) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (name_ == UIPasteboardNameGeneral) return;  // always persistent
    persistent_ = persistent;
  }
  store().persist(*this);
}

long UIPasteboard::changeCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return changeCount_;
}

long UIPasteboard::numberOfItems() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<long>(items_.size());
}

std::vector<Value> UIPasteboard::items() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return items_;
}

void UIPasteboard::setItems(const std::vector<Value>& items) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    items_.clear();
    for (const auto& i : items) {
      if (i.isDict()) items_.push_back(i);
    }
  }
  changed();
}

void UIPasteboard::addItems(const std::vector<Value>& items) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& i : items) {
      if (i.isDict()) items_.push_back(i);
    }
  }
  changed();
}

std::vector<std::string> UIPasteboard::pasteboardTypes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> out;
  if (items_.empty()) return out;
  for (const auto& [k, v] : items_.front().dictValue()) out.push_back(k);
  return out;
}

void UIPasteboard::setData(const std::vector<uint8_t>& bytes, const std::string& type) {
  setValue(Value::data(bytes), type);
}

void UIPasteboard::setValue(const Value& value, const std::string& type) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    items_.clear();
    if (!value.isNil() && !type.empty()) {
      Value item;
      item.set(type, value);
      items_.push_back(item);
    }
  }
  changed();
}

Value UIPasteboard::valueForPasteboardType(const std::string& type) const {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const auto& item : items_) {
    const Value& v = item[type];
    if (!v.isNil()) return v;
  }
  return Value();
}

std::optional<std::vector<uint8_t>> UIPasteboard::dataForPasteboardType(
    const std::string& type) const {
  Value v = valueForPasteboardType(type);
  if (v.isNil()) return std::nullopt;
  if (v.isData()) return v.dataValue();
  if (v.isString()) {
    std::string s = v.str();
    return std::vector<uint8_t>(s.begin(), s.end());
  }
  if (v.isDict() || v.isArray()) return Plist::toBinary(v);
  std::string s = v.description();
  return std::vector<uint8_t>(s.begin(), s.end());
}

bool UIPasteboard::containsPasteboardTypes(const std::vector<std::string>& types) const {
  for (const auto& t : types) {
    if (!valueForPasteboardType(t).isNil()) return true;
  }
  return false;
}

std::string UIPasteboard::string() const {
  for (const char* t : kTextTypes) {
    Value v = valueForPasteboardType(t);
    if (v.isString()) return v.str();
  }
  return "";
}

bool UIPasteboard::hasString() const {
  for (const char* t : kTextTypes) {
    if (valueForPasteboardType(t).isString()) return true;
  }
  return false;
}

void UIPasteboard::setString(const std::string& text) {
  setValue(Value(text), UIPasteboardTypeText);
}

std::vector<std::string> UIPasteboard::strings() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> out;
  for (const auto& item : items_) {
    for (const char* t : kTextTypes) {
      if (item[t].isString()) {
        out.push_back(item[t].str());
        break;
      }
    }
  }
  return out;
}

Value UIPasteboard::toPlistValue() const {
  std::lock_guard<std::mutex> lock(mutex_);
  Value items = Value::array();
  for (const auto& i : items_) items.append(i);
  return Value::dict({{"name", name_},
                      {"persistent", Value::boolean(persistent_)},
                      {"changeCount", changeCount_},
                      {"items", items}});
}

void UIPasteboard::loadFromPlistValue(const Value& v) {
  std::lock_guard<std::mutex> lock(mutex_);
  items_.clear();
  for (const auto& i : v["items"].arrayValue()) {
    if (i.isDict()) items_.push_back(i);
  }
  persistent_ = v["persistent"].boolValue() || name_ == UIPasteboardNameGeneral;
  changeCount_ = v["changeCount"].integerValue();
}

void UIPasteboard::changed() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++changeCount_;
  }
  store().persist(*this);
}
