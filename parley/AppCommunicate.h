#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/Value.h"

class AppCommunicateData;
class UIPasteboard;

// Carries command dictionaries between the app and Parley on pasteboards,
// keyed by the app's AppID, in the form that the system version needs:
// - from system 7 on: the general pasteboard's "content" item holds a binary
//   property list {AppID: dictionary, "old_text": the user's text that was on
//   the pasteboard, when there was some};
// - before: the persistent pasteboard "parley_data" holds {AppID: dictionary}
//   for every app, and "parley_file" the file bytes of the last message.
// Reading a message empties the item it came from, so a message is read
// once; on the general pasteboard the reader puts the user's text back.
// Main thread only (pasteboards).
class AppCommunicate {
 public:
  static std::string getDataPasteboardName();  // "parley_data"
  static std::string getFilePasteboardName();  // "parley_file"
  // The named pasteboards, created when missing and made persistent;
  // nullptr when they cannot be made.
  static std::shared_ptr<UIPasteboard> getDataPasteboard();
  static std::shared_ptr<UIPasteboard> getDataPasteboardForiOS7Plus();  // the general pasteboard
  static std::shared_ptr<UIPasteboard> getFilePasteboard();

  // The whole dictionary of every app, emptying the item after a successful
  // parse; nil when there is no data or no property list (item untouched).
  // The system-7 form also puts "old_text" back as the pasteboard's text.
  static Value propertyListForAllApp();
  static Value propertyListForAllAppForiOS7Plus();
  // The entry of one AppID from the dictionaries above (the item is emptied
  // all the same); nil when there is none.
  static Value propertyListForAppID(const std::string& appId);
  static Value propertyListForAppIDForiOS7Plus(const std::string& appId);

  // Stores the AppID's entry in "parley_data". The other apps' entries are
  // kept, and a failed write leaves the pasteboard as it was.
  static bool setPropertyList(const Value& plist, const std::string& appId);
  // Replaces the general pasteboard's items by {AppID: plist, "old_text"}.
  static bool setPropertyListForiOS7Plus(const Value& plist, const std::string& appId);
  // "parley_file": the bytes of the last message (empty data when none);
  // reading empties it.
  static bool setFileData(const std::vector<uint8_t>& data, const std::string& appId);
  static std::vector<uint8_t> fileDataForAppID(const std::string& appId);

  // Stores a packed message for the running system version; false for a
  // null object, an empty AppID, a missing dictionary or a failed write.
  static bool setAppCommunicateData(const std::shared_ptr<AppCommunicateData>& data,
                                    const std::string& appId);
  static bool setAppCommunicateDataForiOS7Plus(const std::shared_ptr<AppCommunicateData>& data,
                                               const std::string& appId);
  // Reads (and removes) the message for the AppID; nullptr when none.
  static std::shared_ptr<AppCommunicateData> appCommunicateDataForAppID(const std::string& appId);
  static std::shared_ptr<AppCommunicateData> appCommunicateDataForAppIDForiOS7Plus(
      const std::string& appId);

  // What a message write would change, so that a sender can put it back
  // when Parley could not be opened and the message will never be read.
  // Named pasteboards that did not exist are removed again on restore.
  struct SavedPasteboards {
    bool iOS7plus = true;
    std::vector<Value> general;
    bool hadData = false;
    std::vector<Value> data;
    bool hadFile = false;
    std::vector<Value> file;
  };
  static SavedPasteboards savePasteboards();
  static void restorePasteboards(const SavedPasteboards& saved);
};
