#pragma once
// The network the simulated device is on, and what the device knows of it: the kind of
// connection (Wi-Fi, cellular or none), the carrier, the Wi-Fi network joined, the network
// interfaces with their addresses, and name resolution. Tests and the simulator switch each
// source; the platform's network services (reachability, carrier and captive-network
// information, interface queries) read them from here.
//
// Name resolution answers numeric addresses and "localhost" itself, and other names from a
// table that a test fills; the system's resolver is asked only when it has been switched on,
// so that nothing reaches beyond loopback unless the simulator is told to.
//
// Defaults: on Wi-Fi ("ToviraNet"), a carrier with codes "001" and "01", en0 with a MAC
// address. Thread-safe; observers run on the thread that made the change, with no lock held.
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

enum class NetworkKind { Offline, WiFi, Cellular };

struct CarrierInfo {
  std::string carrierName;
  std::string mobileCountryCode;
  std::string mobileNetworkCode;
};

// One address of one interface, as getifaddrs lists them.
struct InterfaceAddress {
  std::string name;     // "lo0", "en0", "pdp_ip0"
  bool ipv4 = false;    // an IPv4 address (else a link-layer address)
  std::string address;  // dotted IPv4 text, or "XX:XX:..." for a link-layer address
  bool loopback = false;
};

using MacAddress = std::array<uint8_t, 6>;

class SimulatedNetwork {
 public:
  using Observer = std::function<void()>;
  using Token = uint64_t;

  static SimulatedNetwork& shared();

  NetworkKind kind() const;
  void setKind(NetworkKind kind);  // observers are told of a change
  // Raw reachability flags reported for every target instead of those of the kind (for the
  // unusual states: connection required, intervention required); nullopt ends it.
  void setFlagsOverride(std::optional<uint32_t> flags);
  std::optional<uint32_t> flagsOverride() const;

  std::optional<CarrierInfo> carrier() const;
  void setCarrier(std::optional<CarrierInfo> carrier);  // nullopt: no SIM

  // The Wi-Fi network joined: SSID and BSSID; reported only while on Wi-Fi. "" for none.
  void setWiFiNetwork(const std::string& ssid, const std::string& bssid);
  std::optional<std::pair<std::string, std::string>> currentWiFiNetwork() const;

  // en0: present unless removed; its IPv4 address exists while on Wi-Fi.
  void setHasWiFiInterface(bool present);
  void setMacAddress(const MacAddress& mac);
  std::vector<InterfaceAddress> interfaces() const;
  unsigned interfaceIndex(const std::string& name) const;  // if_nametoindex; 0 when missing
  std::optional<MacAddress> linkAddress(unsigned index) const;

  // A name the resolver answers with an IPv4 address after delaySeconds (not waited for:
  // a delay beyond the caller's limit is a time-out).
  void setHostAddress(const std::string& host, const std::string& ipv4, double delaySeconds = 0);
  void setSystemResolver(bool on);
  // The IPv4 addresses of a host, or nullopt when it does not resolve within timeoutSeconds.
  std::optional<std::vector<std::string>> resolveIPv4(const std::string& host,
                                                      double timeoutSeconds) const;

  Token addObserver(Observer fn);
  void removeObserver(Token token);

  void reset();  // the defaults; observers stay

 private:
  SimulatedNetwork();
  void notify();
  struct Host {
    std::string address;
    double delay = 0;
  };
  mutable std::mutex mutex_;
  NetworkKind kind_ = NetworkKind::WiFi;
  std::optional<uint32_t> flagsOverride_;
  std::optional<CarrierInfo> carrier_;
  std::string ssid_, bssid_;
  bool hasWiFiInterface_ = true;
  MacAddress mac_{};
  std::map<std::string, Host> hosts_;
  bool systemResolver_ = false;
  std::map<Token, Observer> observers_;
  Token nextToken_ = 1;
};
