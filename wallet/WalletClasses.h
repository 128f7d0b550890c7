#pragma once
// Registers every screen and view class of the wallet with the class registry, so that the
// tab bar and the home screen's slides find them by name. A static library's self-registration
// can be dropped by the linker; the app and the tests call this once at start (idempotent).
void registerWalletClasses();
