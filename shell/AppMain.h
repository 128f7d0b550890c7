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
// the application terminates; queued work, timers, screens, alerts, the keyboard, the login
// state in memory and the SDK's singletons are dropped; the user defaults are read again from their
// file at next use; pasteboards that were not persistent are gone. The run loop keeps its clock.
// The device is left as it was: the sandbox, the device's folder, the general and persistent
// pasteboards, the installed apps, the photo album and the record of opened URLs all stay, so that
// what another launch reads from them (the statistics module's shared identifier, say) is what this
// one left. A test that wants a fresh device asks Automation::resetDevice for one. Main thread.
void AppShutdown();

// Registers the shell's classes with the class registry (idempotent).
void registerShellClasses();
