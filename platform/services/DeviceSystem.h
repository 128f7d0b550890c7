#pragma once
// The simulated device's own system: its hardware machine name (uname's machine field) and
// its system files, which live under "<device folder>/system" (a test creates a file there
// to make it exist on the device). Thread-safe.
#include <string>

namespace DeviceSystem {
// The machine name: the host's uname() machine unless set.
std::string machine();
void setMachine(const std::string& machine);  // "" returns to the host's
// Whether an absolute path exists on the device's system.
bool fileExists(const std::string& absolutePath);
std::string systemRoot();
}  // namespace DeviceSystem
