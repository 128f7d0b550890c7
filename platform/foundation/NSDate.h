#pragma once
// The current date, read from the clock installed in the main run loop, so that tests
// with a virtual clock see the time they set.
namespace NSDate {
double timeIntervalSince1970();  // RunLoop::main().now()
}
