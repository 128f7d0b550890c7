#include "games/GamesClasses.h"

#include "platform/foundation/NSObject.h"

// Each screen adds its TOVIRA_DECLARE_REGISTRATION line above and its call below.

void registerGamesClasses() {}
