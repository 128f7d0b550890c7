#pragma once
// Whether this build runs under ThreadSanitizer. Tests that read one heavy input on one thread
// skip there: it has nothing to check in them, and it makes each take tens of seconds.
#if defined(__SANITIZE_THREAD__)
constexpr bool kUnderThreadSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
constexpr bool kUnderThreadSanitizer = true;
#else
constexpr bool kUnderThreadSanitizer = false;
#endif
#else
constexpr bool kUnderThreadSanitizer = false;
#endif
