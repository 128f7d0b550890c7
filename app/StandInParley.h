#pragma once

// A stand-in of the Parley app for tests and the simulator. Installed on the
// simulated device under the scheme "parley", it does what the real app does
// with the SDK's messages: when one of its URLs is opened it reads the
// command dictionary that the sending app left on the pasteboard (the
// general pasteboard from system 7 on, "parley_data" and "parley_file"
// before), empties that item, and puts the user's text ("old_text") back on
// the general pasteboard. It reads the raw property list itself, so that it
// checks the wire format independently of the SDK's own reader.
//
// Everything it received is kept for inspection. Main thread (it is called
// by UIApplication::openURL through the simulated device).

#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/NSURL.h"
#include "platform/foundation/Plist.h"
#include "platform/foundation/Value.h"
#include "platform/services/SimulatedDevice.h"
#include "platform/uikit/UIPasteboard.h"

class StandInParley {
 public:
  struct Received {
    std::string url;
    std::string appId;              // from "parley://app/<AppID>/..."; "" for other URLs
    std::string path;               // what follows "parley://app/<AppID>/"
    Value commandDictionary;        // the entry under the AppID; nil when none was found
    Value pasteboardRoot;           // the whole dictionary that was read
    std::vector<uint8_t> fileData;  // "parley_file" before system 7
  };

  // Installs the stand-in (replacing an earlier handler of "parley").
  static std::shared_ptr<StandInParley> install() {
    auto app = std::make_shared<StandInParley>();
    std::weak_ptr<StandInParley> weak = app;
    SimulatedDevice::shared().installApp("parley", [weak](const std::string& url) {
      auto self = weak.lock();
      return self ? self->open(url) : false;
    });
    return app;
  }
  static void uninstall() { SimulatedDevice::shared().uninstallApp("parley"); }

  const std::vector<Received>& received() const { return received_; }
  const Received& last() const {
    static const Received none;
    return received_.empty() ? none : received_.back();
  }
  // Whether to read pasteboards the way a system-7 device does.
  void setReadsGeneralPasteboard(bool general) { general_ = general; }

 private:
  bool open(const std::string& text) {
    Received r;
    r.url = text;
    const std::string prefix = "parley://app/";
    if (text.rfind(prefix, 0) == 0) {
      size_t slash = text.find('/', prefix.size());
      if (slash != std::string::npos) {
        r.appId = text.substr(prefix.size(), slash - prefix.size());
        r.path = text.substr(slash + 1);
      }
    }
    bool carriesMessage = r.path.rfind("sendreq/", 0) == 0 || r.path.rfind("sendresp/", 0) == 0;
    if (carriesMessage && !r.appId.empty()) readMessage(r);
    received_.push_back(std::move(r));
    return true;
  }

  void readMessage(Received& r) {
    if (general_) {
      auto pasteboard = UIPasteboard::generalPasteboard();
      auto root = Plist::parse(
          pasteboard->dataForPasteboardType("content").value_or(std::vector<uint8_t>{}));
      if (!root) return;
      pasteboard->setData({}, "content");
      r.pasteboardRoot = *root;
      r.commandDictionary = (*root)[r.appId];
      if ((*root)["old_text"].isString() && !(*root)["old_text"].str().empty()) {
        pasteboard->setString((*root)["old_text"].str());
      }
    } else {
      auto data = UIPasteboard::pasteboardWithName("parley_data", false);
      if (!data) return;
      auto root =
          Plist::parse(data->dataForPasteboardType("content").value_or(std::vector<uint8_t>{}));
      if (!root) return;
      r.pasteboardRoot = *root;
      // The real app takes only its entry for this app and leaves the others.
      Value rest = *root;
      rest.remove(r.appId);
      r.commandDictionary = (*root)[r.appId];
      data->setData(Plist::toBinary(rest), "content");
      if (auto file = UIPasteboard::pasteboardWithName("parley_file", false)) {
        r.fileData = file->dataForPasteboardType("content").value_or(std::vector<uint8_t>{});
        file->setData({}, "content");
      }
    }
  }

  std::vector<Received> received_;
  bool general_ = true;
};
