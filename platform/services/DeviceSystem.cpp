#include "platform/services/DeviceSystem.h"

#include <sys/utsname.h>

#include <filesystem>
#include <mutex>

#include "platform/services/SimulatedDevice.h"

namespace {
std::mutex gMutex;
std::string gMachine;
}  // namespace

std::string DeviceSystem::machine() {
  {
    std::lock_guard<std::mutex> lock(gMutex);
    if (!gMachine.empty()) return gMachine;
  }
  utsname name{};
  if (uname(&name) != 0) return "";
  return name.machine;
}

void DeviceSystem::setMachine(const std::string& machine) {
  std::lock_guard<std::mutex> lock(gMutex);
  gMachine = machine;
}

std::string DeviceSystem::systemRoot() { return SimulatedDevice::shared().root() + "/system"; }

bool DeviceSystem::fileExists(const std::string& absolutePath) {
  if (absolutePath.empty() || absolutePath[0] != '/') return false;
  if (SimulatedDevice::shared().root().empty()) return false;
  std::error_code ec;
  return std::filesystem::exists(systemRoot() + absolutePath, ec);
}
