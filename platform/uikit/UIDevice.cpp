#include "platform/uikit/UIDevice.h"

#include <cstdlib>

std::shared_ptr<UIDevice> UIDevice::currentDevice() {
  static const auto device = std::make_shared<UIDevice>();
  return device;
}

std::string UIDevice::systemVersion() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return systemVersion_;
}

void UIDevice::setSystemVersion(const std::string& v) {
  std::lock_guard<std::mutex> lock(mutex_);
  systemVersion_ = v;
}

double UIDevice::foundationVersionNumber() const {
  std::string v = systemVersion();
  double major = std::atof(v.c_str());
  if (major >= 10) return 1349.0;
  if (major >= 9) return 1240.1;
  if (major >= 8) return 1140.11;
  if (major >= 7.1) return 1047.25;
  if (major >= 7) return 1047.20;
  if (major >= 6) return 993.0;
  return 881.0;
}

std::string UIDevice::systemName() const { return "iPhone OS"; }

std::string UIDevice::model() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return model_;
}

void UIDevice::setModel(const std::string& m) {
  std::lock_guard<std::mutex> lock(mutex_);
  model_ = m;
}

std::string UIDevice::name() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return name_;
}

void UIDevice::setName(const std::string& n) {
  std::lock_guard<std::mutex> lock(mutex_);
  name_ = n;
}

std::string UIDevice::identifierForVendor() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return idfv_;
}

void UIDevice::setIdentifierForVendor(const std::string& id) {
  std::lock_guard<std::mutex> lock(mutex_);
  idfv_ = id;
}

void UIDevice::playInputClick() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++clicks_;
}

long UIDevice::inputClickCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return clicks_;
}

void UIDevice::reset() {
  std::lock_guard<std::mutex> lock(mutex_);
  systemVersion_ = "9.3";
  model_ = "iPhone";
  name_ = "Tovira Simulator";
  idfv_ = "6F9619FF-8B86-D011-B42D-00C04FC964FF";
  clicks_ = 0;
}

double NSFoundationVersionNumber() { return UIDevice::currentDevice()->foundationVersionNumber(); }
