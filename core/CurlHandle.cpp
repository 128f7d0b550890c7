#include "core/CurlHandle.h"

#include <curl/curl.h>

#include <algorithm>

namespace {

// curl_global_init must run before the first handle exists; a function-local static runs it once,
// whichever thread gets there first.
void initialiseCurl() {
  static const bool initialised = [] {
    return curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  }();
  (void)initialised;
}

// Where the body of one transfer goes, and how much of it may come.
struct Sink {
  std::string* body;
  size_t maxBody;
  bool tooLarge = false;
  bool outOfMemory = false;
};

// libcurl's write callback. It runs inside libcurl's C code, so nothing may be thrown out of it:
// returning less than it was given aborts the transfer instead.
size_t collect(char* data, size_t size, size_t count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  const size_t n = size * count;
  if (n > sink->maxBody - std::min(sink->maxBody, sink->body->size())) {
    sink->tooLarge = true;
    return 0;
  }
  try {
    sink->body->append(data, n);
  } catch (...) {
    sink->outOfMemory = true;
    return 0;
  }
  return n;
}

}  // namespace

CurlHandle::CurlHandle() {
  initialiseCurl();
  curl_ = curl_easy_init();
  // Bodies are small; "Expect: 100-continue" would only add a round trip.
  headers_ = curl_slist_append(nullptr, "Expect:");
}

CurlHandle::~CurlHandle() {
  curl_easy_cleanup(static_cast<CURL*>(curl_));
  curl_slist_free_all(static_cast<curl_slist*>(headers_));
}

CurlHandle::Result CurlHandle::post(const std::string& url, const std::string& body,
                                    double timeoutSeconds, Connection connection, size_t maxBody) {
  return perform(url, &body, timeoutSeconds, connection, maxBody);
}

CurlHandle::Result CurlHandle::get(const std::string& url, double timeoutSeconds, size_t maxBody) {
  return perform(url, nullptr, timeoutSeconds, Connection::Reuse, maxBody);
}

CurlHandle::Result CurlHandle::perform(const std::string& url, const std::string* body,
                                       double timeoutSeconds, Connection connection,
                                       size_t maxBody) {
  Result result;
  auto* curl = static_cast<CURL*>(curl_);
  if (!curl) {
    result.error = "no curl handle";
    return result;
  }
  char errorText[CURL_ERROR_SIZE] = {};
  const long timeoutMs = timeoutSeconds > 0 ? static_cast<long>(timeoutSeconds * 1000) : 0;
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);  // timeouts must not raise signals in threads
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeoutMs);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, timeoutMs);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
  Sink sink{&result.body, maxBody};
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
  // A declared length beyond the limit is refused before any of the body arrives.
  curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maxBody));
  curl_easy_setopt(curl, CURLOPT_FRESH_CONNECT, connection == Connection::Fresh ? 1L : 0L);
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, static_cast<curl_slist*>(headers_));
  if (body) {
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body->data());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body->size()));
  } else {
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  }
  const CURLcode rc = curl_easy_perform(curl);
  // The error buffer and the body live on this stack frame: detach them before returning.
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, nullptr);
  curl_easy_setopt(curl, CURLOPT_POSTFIELDS, nullptr);
  if (rc != CURLE_OK) {
    result.error = sink.tooLarge      ? "reply longer than " + std::to_string(maxBody) + " bytes"
                   : sink.outOfMemory ? std::string("no memory for the reply")
                   : errorText[0]     ? errorText
                                      : curl_easy_strerror(rc);
    std::string().swap(result.body);  // give the memory back at once
    return result;
  }
  result.transferred = true;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
  return result;
}
