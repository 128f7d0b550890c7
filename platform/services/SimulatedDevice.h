#pragma once
// The simulated phone that the app runs on: the other apps installed on it (by URL scheme,
// each with a handler that receives the URLs opened for it), the URLs the app opened, and the
// system pasteboards shared by every app on the device.
//
// The device folder holds what survives an app restart (the pasteboards, under
// "<device folder>/Pasteboards"). Until setRoot is called it is a folder under the system's
// temporary directory, made when a pasteboard is first used; the device removes that folder of
// its own when it moves to another (setRoot, reset) and when it is destroyed, since nothing
// else knows where it is. A folder that it was given is never removed. Thread-safe; handlers
// run on the main run loop.

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/uikit/UIPasteboard.h"

// The device is the pasteboards' store: it installs itself as UIPasteboard's store when made.
class SimulatedDevice : public UIPasteboardStore {
 public:
  using URLHandler = std::function<bool(const std::string& url)>;

  static SimulatedDevice& shared();
  ~SimulatedDevice() override;

  // Chooses the device folder (created when missing) and loads the pasteboards kept there.
  void setRoot(const std::string& dir);
  std::string root() const;

  // Installed apps, by URL scheme (case-insensitive). Installing again replaces the handler.
  void installApp(const std::string& scheme, URLHandler handler = {});
  void uninstallApp(const std::string& scheme);
  bool isInstalled(const std::string& scheme) const;
  std::vector<std::string> installedSchemes() const;

  // Called by UIApplication: NO when no app handles the URL's scheme; otherwise records the
  // URL and posts the handler's call to the main run loop.
  bool openURL(const std::string& url);
  bool canOpenURL(const std::string& url) const;
  std::vector<std::string> openedURLs() const;
  void clearOpenedURLs();

  // Pasteboards. The general pasteboard always exists.
  std::shared_ptr<UIPasteboard> pasteboard(const std::string& name, bool create) override;
  void removePasteboard(const std::string& name) override;
  std::vector<std::string> pasteboardNames() const;
  // Writes a persistent pasteboard (or removes its file when it is no longer persistent).
  void persist(const UIPasteboard& pasteboard) override;

  // The app quits and starts again: pasteboards that were not persistent are gone, the others
  // are read back from the device folder. The folder, the installed apps (with their handlers)
  // and the record of opened URLs stay: they are the device's, not the app's.
  void restartApp();
  // Tests: a fresh device in the given folder (nothing installed, nothing opened, pasteboards
  // read from that folder); "" leaves the folder to be made on first use.
  void reset(const std::string& dir);

 private:
  SimulatedDevice();
  void loadPasteboards();
  std::string pasteboardPath(const std::string& name) const;
  static std::string lower(const std::string& s);

  // Leaves the current folder for dir; the device's own temporary folder goes. Needs mutex_.
  void moveTo(const std::string& dir);

  mutable std::mutex mutex_;
  std::string root_;
  bool madeRoot_ = false;  // root_ is the device's own temporary folder
  int madeBy_ = 0;         // the process that made it
  std::map<std::string, URLHandler> apps_;
  std::vector<std::string> opened_;
  std::map<std::string, std::shared_ptr<UIPasteboard>> pasteboards_;
};
