#pragma once

// Registers the account screens with the class registry (idempotent). The app calls it at start.
void registerAccountClasses();
