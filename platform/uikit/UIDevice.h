#pragma once
// The device's identity, settable by tests and the simulator. Defaults: "iPhone", system
// "iPhone OS" 9.3, name "Tovira Simulator". Thread-safe.

#include <memory>
#include <mutex>
#include <string>

#include "platform/foundation/NSObject.h"

// NSFoundationVersionNumber: the current device's foundationVersionNumber().
double NSFoundationVersionNumber();

enum UIDeviceOrientation : long {
  UIDeviceOrientationUnknown = 0,
  UIDeviceOrientationPortrait = 1,
};

enum UIUserInterfaceIdiom : long { UIUserInterfaceIdiomPhone = 0, UIUserInterfaceIdiomPad = 1 };

class UIDevice : public NSObject {
  TOVIRA_CLASS(UIDevice)
 public:
  static std::shared_ptr<UIDevice> currentDevice();
  std::string systemVersion() const;
  void setSystemVersion(const std::string& v);
  // The Foundation version number that goes with the system version, as the platform's
  // NSFoundationVersionNumber reports it: 6.x 993.0, 7.0 1047.20, 7.1 1047.25, 8.x 1140.11,
  // 9.x 1240.1, 10 and later 1349.0; earlier systems 881.0.
  double foundationVersionNumber() const;
  std::string systemName() const;
  std::string model() const;
  void setModel(const std::string& m);
  std::string localizedModel() const { return model(); }
  std::string name() const;
  void setName(const std::string& n);
  // The identifier for vendor, as UUID text; stable until reset.
  std::string identifierForVendor() const;
  void setIdentifierForVendor(const std::string& id);
  UIDeviceOrientation orientation() const { return UIDeviceOrientationPortrait; }
  UIUserInterfaceIdiom userInterfaceIdiom() const { return UIUserInterfaceIdiomPhone; }
  // The keyboard's click sound; counted.
  void playInputClick();
  long inputClickCount() const;
  void reset();

 private:
  mutable std::mutex mutex_;
  std::string systemVersion_ = "9.3";
  std::string model_ = "iPhone";
  std::string name_ = "Tovira Simulator";
  std::string idfv_ = "6F9619FF-8B86-D011-B42D-00C04FC964FF";
  long clicks_ = 0;
};
