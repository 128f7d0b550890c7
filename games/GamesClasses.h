#pragma once
// Registers every screen and view class of the game-account, gift and invitation screens with the
// class registry, so that the tab bar and the home screen's slides find them by name. The app and
// the tests call this once at start (idempotent).
void registerGamesClasses();
