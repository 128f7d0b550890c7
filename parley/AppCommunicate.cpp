#include "parley/AppCommunicate.h"

#include "parley/AppCommunicateData.h"
#include "parley/ParleyApiUtil.h"
#include "platform/uikit/UIPasteboard.h"

namespace {

constexpr const char* kType = "content";
constexpr const char* kOldText = "old_text";

std::shared_ptr<UIPasteboard> namedPasteboard(const std::string& name) {
  auto pasteboard = UIPasteboard::pasteboardWithName(name, true);
  if (pasteboard) pasteboard->setPersistent(true);
  return pasteboard;
}

// Parses the pasteboard's "content"; nil (and the pasteboard untouched) when
// there is no data or no property list, else the item is emptied so that
// the message is read only once.
Value takeContent(const std::shared_ptr<UIPasteboard>& pasteboard) {
  if (!pasteboard) return Value();
  Value root = ParleyApiUtil::propertyListFromData(
      pasteboard->dataForPasteboardType(kType).value_or(std::vector<uint8_t>{}));
  if (root.isNil()) return Value();
  pasteboard->setData({}, kType);
  return root;
}

}  // namespace

std::string AppCommunicate::getDataPasteboardName() { return "parley_data"; }

std::string AppCommunicate::getFilePasteboardName() { return "parley_file"; }

std::shared_ptr<UIPasteboard> AppCommunicate::getDataPasteboard() {
  return namedPasteboard(getDataPasteboardName());
}

std::shared_ptr<UIPasteboard> AppCommunicate::getDataPasteboardForiOS7Plus() {
  return UIPasteboard::generalPasteboard();
}

std::shared_ptr<UIPasteboard> AppCommunicate::getFilePasteboard() {
  return namedPasteboard(getFilePasteboardName());
}

Value AppCommunicate::propertyListForAllApp() {
  Value root = takeContent(getDataPasteboard());
  return root.isDict() ? root : Value();
}

Value AppCommunicate::propertyListForAllAppForiOS7Plus() {
  auto pasteboard = getDataPasteboardForiOS7Plus();
  Value root = takeContent(pasteboard);
  if (!root.isDict()) return Value();
  const Value& oldText = root[kOldText];
  if (oldText.isString() && !oldText.str().empty()) pasteboard->setString(oldText.str());
  return root;
}

Value AppCommunicate::propertyListForAppID(const std::string& appId) {
  if (appId.empty()) return Value();
  return propertyListForAllApp()[appId];
}

Value AppCommunicate::propertyListForAppIDForiOS7Plus(const std::string& appId) {
  if (appId.empty()) return Value();
  return propertyListForAllAppForiOS7Plus()[appId];
}

bool AppCommunicate::setPropertyList(const Value& plist, const std::string& appId) {
  auto pasteboard = getDataPasteboard();
  if (!pasteboard || appId.empty() || !plist.isDict()) return false;
  // Read without emptying: the entries of the other apps must survive this
  // write, also when it fails.
  Value all = ParleyApiUtil::propertyListFromData(
      pasteboard->dataForPasteboardType(kType).value_or(std::vector<uint8_t>{}));
  if (!all.isDict()) all = Value::dict();
  all.set(appId, plist);
  auto bytes = ParleyApiUtil::dataFromPropertyList(all);
  if (!bytes) return false;
  pasteboard->setData(*bytes, kType);
  return true;
}

bool AppCommunicate::setPropertyListForiOS7Plus(const Value& plist, const std::string& appId) {
  auto pasteboard = getDataPasteboardForiOS7Plus();
  if (!pasteboard || appId.empty() || !plist.isDict()) return false;
  Value all = Value::dict({{appId, plist}});
  std::string oldText = pasteboard->string();
  if (!oldText.empty()) all.set(kOldText, Value(oldText));
  auto bytes = ParleyApiUtil::dataFromPropertyList(all);
  if (!bytes) return false;
  pasteboard->setItems({Value::dict({{kType, Value::data(*bytes)}})});
  return true;
}

bool AppCommunicate::setFileData(const std::vector<uint8_t>& data, const std::string&) {
  auto pasteboard = getFilePasteboard();
  if (!pasteboard) return false;
  pasteboard->setData(data, kType);
  return true;
}

std::vector<uint8_t> AppCommunicate::fileDataForAppID(const std::string&) {
  auto pasteboard = getFilePasteboard();
  if (!pasteboard) return {};
  std::vector<uint8_t> data =
      pasteboard->dataForPasteboardType(kType).value_or(std::vector<uint8_t>{});
  pasteboard->setData({}, kType);
  return data;
}

bool AppCommunicate::setAppCommunicateData(const std::shared_ptr<AppCommunicateData>& data,
                                           const std::string& appId) {
  if (!data || appId.empty()) return false;
  if (ParleyApiUtil::isiOS7plus()) return setAppCommunicateDataForiOS7Plus(data, appId);
  if (!setPropertyList(data->propertList(), appId)) return false;
  setFileData(data->fileData, appId);
  return true;
}

bool AppCommunicate::setAppCommunicateDataForiOS7Plus(
    const std::shared_ptr<AppCommunicateData>& data, const std::string& appId) {
  if (!data || appId.empty()) return false;
  return setPropertyListForiOS7Plus(data->propertList(), appId);
}

std::shared_ptr<AppCommunicateData> AppCommunicate::appCommunicateDataForAppID(
    const std::string& appId) {
  if (appId.empty()) return nullptr;
  if (ParleyApiUtil::isiOS7plus()) return appCommunicateDataForAppIDForiOS7Plus(appId);
  Value entry = propertyListForAppID(appId);
  if (!entry.isDict()) return nullptr;
  auto data = std::make_shared<AppCommunicateData>(entry);
  data->fileData = fileDataForAppID(appId);
  return data;
}

std::shared_ptr<AppCommunicateData> AppCommunicate::appCommunicateDataForAppIDForiOS7Plus(
    const std::string& appId) {
  if (appId.empty()) return nullptr;
  Value entry = propertyListForAppIDForiOS7Plus(appId);
  if (!entry.isDict()) return nullptr;
  auto data = std::make_shared<AppCommunicateData>(entry);
  data->fileData = entry["fileData"].dataValue();
  return data;
}

AppCommunicate::SavedPasteboards AppCommunicate::savePasteboards() {
  SavedPasteboards saved;
  saved.iOS7plus = ParleyApiUtil::isiOS7plus();
  if (saved.iOS7plus) {
    if (auto general = getDataPasteboardForiOS7Plus()) saved.general = general->items();
  } else {
    // Looked up without creating them: saving must change nothing.
    if (auto data = UIPasteboard::pasteboardWithName(getDataPasteboardName(), false)) {
      saved.hadData = true;
      saved.data = data->items();
    }
    if (auto file = UIPasteboard::pasteboardWithName(getFilePasteboardName(), false)) {
      saved.hadFile = true;
      saved.file = file->items();
    }
  }
  return saved;
}

void AppCommunicate::restorePasteboards(const SavedPasteboards& saved) {
  if (saved.iOS7plus) {
    if (auto general = getDataPasteboardForiOS7Plus()) general->setItems(saved.general);
    return;
  }
  auto restore = [](const std::string& name, bool existed, const std::vector<Value>& items) {
    if (!existed) {
      UIPasteboard::removePasteboardWithName(name);
    } else if (auto pasteboard = UIPasteboard::pasteboardWithName(name, false)) {
      pasteboard->setItems(items);
    }
  };
  restore(getDataPasteboardName(), saved.hadData, saved.data);
  restore(getFilePasteboardName(), saved.hadFile, saved.file);
}
