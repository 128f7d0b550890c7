#pragma once

#include <memory>

#include "platform/foundation/Value.h"

class AppDelegate;

// The app's entry point on this platform: what UIApplicationMain does on the device, minus the
// run loop, which the caller drives (the simulator with a real clock, tests with a virtual one).
// Registers the app's classes by name, makes the application delegate and launches the shared
// application with it (didFinishLaunchingWithOptions runs before this returns). The sandbox, the
// bundle's resources and the API host must be set before. Main thread; call once per launch.
std::shared_ptr<AppDelegate> AppMain(const Value& launchOptions = Value());

// Ends the running app as the end of its process would, so that AppMain can start it again:
// the application terminates; queued work, timers, screens, alerts and the login state in memory
// are dropped; the user defaults are read again from disk at next use; pasteboards that were not
// persistent are gone. The run loop keeps its clock; the sandbox and the device's installed apps
// stay. Main thread.
void AppShutdown();

// Registers the shell's classes with the class registry (idempotent).
void registerShellClasses();
