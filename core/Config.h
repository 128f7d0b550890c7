#pragma once

#include <string>

// Every constant that ties the client to its server lives here, so that a build for another
// server, or a test against the local devserver, changes one place.
//
// The compile-time values are fixed; the API host and the request timeout can be changed at
// start (the simulator and the tests point the client at a devserver on loopback). The setters
// and getters are thread-safe: background queues read them while the main thread may set them.
class Config {
 public:
  // Path of the one API endpoint on the API host.
  static constexpr const char* kApiPath = "/index.php/DemoGulvanebeta";
  // Appended to the parameter string before it is hashed into "sign".
  static constexpr const char* kSignKey = "tv0v1ra5ign";
  // The 8-byte DES key, which also serves as the CBC initialisation vector.
  static constexpr const char* kDesKey = "Tov1rA08";
  // Our application id with the Parley app.
  static constexpr const char* kParleyAppId = "pl7f3a9c2d1e5b8064";
  // Channel id sent when the bundle carries no channel marker.
  static constexpr const char* kDefaultChannelId = "777";
  // How long a server call waits for its reply, in seconds.
  static constexpr double kDefaultTimeout = 10.0;
  // Host used until setApiHost is called; on loopback so that a misconfigured run talks to nobody.
  static constexpr const char* kDefaultApiHost = "http://127.0.0.1:8765";

  // Scheme, host and optional port without a trailing slash, e.g. "http://127.0.0.1:40123".
  static void setApiHost(const std::string& host);
  static std::string apiHost();
  // apiHost() + kApiPath: where every server call is posted.
  static std::string apiEndpoint();

  // Seconds a server call waits before it gives up (tests shorten it). Values <= 0 restore the
  // default.
  static void setTimeout(double seconds);
  static double timeout();

  // The three partner game platforms (GamePlatformId "1", "2", "3"; "3" hosts H5 games): display
  // name and bundle image name of each. "" for any other id.
  static std::string platformDisplayName(const std::string& platId);
  static std::string platformIconName(const std::string& platId);

  // Restores the default host and timeout (tests call it between cases).
  static void reset();
};
