#pragma once
// Pasteboards: the system's general pasteboard and named ones, kept by the device's store
// (UIPasteboardStore) and shared by every app on it. Each holds items; an item is a dictionary from
// a type
// ("public.utf8-plain-text", "content", ...) to a value (text, data, number, dictionary,
// array). Pasteboards marked persistent, and the general pasteboard, are written to files
// under the device folder on every change, so they survive a restart of the app; others live
// until the app that made them quits. Thread-safe.

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/NSObject.h"
#include "platform/foundation/Value.h"

extern const std::string UIPasteboardNameGeneral;  // "general"
extern const std::string UIPasteboardTypeText;     // "public.utf8-plain-text"

class UIPasteboard;

// Where the pasteboards live. The device that the app runs on provides the store and installs it
// with UIPasteboard::setStore when it is made; until then a store in memory (nothing written to
// disk) stands in. Implementations are thread-safe.
class UIPasteboardStore {
 public:
  virtual ~UIPasteboardStore() = default;
  // The named pasteboard; made (empty, not persistent) when missing and create is true, else
  // nullptr when missing. The general pasteboard always exists.
  virtual std::shared_ptr<UIPasteboard> pasteboard(const std::string& name, bool create) = 0;
  virtual void removePasteboard(const std::string& name) = 0;
  // Called after every change of a pasteboard of this store.
  virtual void persist(const UIPasteboard& pasteboard) = 0;
};

class UIPasteboard : public NSObject {
  TOVIRA_CLASS(UIPasteboard)
 public:
  explicit UIPasteboard(std::string name);

  // Installs the store that every class method below asks (not owned: it must outlive every
  // later call). nullptr brings back the store in memory.
  static void setStore(UIPasteboardStore* store);
  static UIPasteboardStore& store();

  static std::shared_ptr<UIPasteboard> generalPasteboard();
  // The named pasteboard; made (empty, not persistent) when missing and create is true,
  // else nullptr when missing.
  static std::shared_ptr<UIPasteboard> pasteboardWithName(const std::string& name, bool create);
  static std::shared_ptr<UIPasteboard> pasteboardWithUniqueName();
  static void removePasteboardWithName(const std::string& name);

  const std::string& name() const { return name_; }
  bool isPersistent() const;
  void setPersistent(bool persistent);
  long changeCount() const;
  long numberOfItems() const;

  std::vector<Value> items() const;  // dictionaries type -> value
  void setItems(const std::vector<Value>& items);
  void addItems(const std::vector<Value>& items);
  std::vector<std::string> pasteboardTypes() const;  // of the first item

  // Replace the items by one item holding the value under the type.
  void setData(const std::vector<uint8_t>& bytes, const std::string& type);
  void setValue(const Value& value, const std::string& type);
  // From the first item holding the type. Data: the bytes of data, the UTF-8 bytes of text,
  // a binary property list of dictionaries and arrays, or nothing (std::nullopt).
  std::optional<std::vector<uint8_t>> dataForPasteboardType(const std::string& type) const;
  Value valueForPasteboardType(const std::string& type) const;  // absent when none
  bool containsPasteboardTypes(const std::vector<std::string>& types) const;

  // The text item (UIPasteboardTypeText; also "public.text" / "public.plain-text").
  std::string string() const;  // "" when none
  bool hasString() const;
  void setString(const std::string& text);
  std::vector<std::string> strings() const;

  // Used by the store.
  Value toPlistValue() const;
  void loadFromPlistValue(const Value& v);

 private:
  void changed();  // bumps the change count and persists
  std::string name_;
  mutable std::mutex mutex_;
  std::vector<Value> items_;
  bool persistent_ = false;
  long changeCount_ = 0;
};
