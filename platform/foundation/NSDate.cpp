#include "platform/foundation/NSDate.h"

#include "platform/foundation/RunLoop.h"

double NSDate::timeIntervalSince1970() { return RunLoop::main().now(); }
