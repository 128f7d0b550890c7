// tovira-sim: runs the app on the headless platform and drives it with text commands, from a
// script file or standard input, printing the screen after each command.
//
//   tovira-sim [--endpoint URL] [--sandbox DIR] [--walk | SCRIPT]
//   tovira-sim --help
//
// Without --endpoint it starts the bundled demo server on loopback; without --sandbox the app
// gets a fresh temporary sandbox, removed at the end. The run ends with a summary line, e.g.
// "walk: 133 steps, 0 failed"; the exit status is 1 when a command failed, 2 for a usage error.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/SimCommandLoop.h"
#include "core/Config.h"
#include "devserver/DevServer.h"
#include "devserver/LoopbackHttp.h"
#include "devserver/StatServer.h"
#include "parley/stats/PLOStat.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/services/SimulatedDevice.h"

namespace {

constexpr const char* kUsage =
    "usage: tovira-sim [--endpoint URL] [--sandbox DIR] [--walk | SCRIPT]\n"
    "  --help          show this and exit\n"
    "  --endpoint URL  talk to this API server instead of the bundled demo server\n"
    "  --sandbox DIR   keep the app's files in DIR instead of a fresh temporary folder\n"
    "  --walk          run the scripted tour (resources/walk.txt)\n"
    "  SCRIPT          read commands from this file instead of standard input\n";

constexpr int kDemoPort = 8765;

struct Options {
  std::string endpoint;
  std::string sandbox;
  std::string script;
  bool walk = false;
};

bool parseOptions(int argc, char** argv, Options& options) {
  std::vector<std::string> args(argv + 1, argv + argc);
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if ((arg == "--endpoint" || arg == "--sandbox") && i + 1 < args.size()) {
      (arg == "--endpoint" ? options.endpoint : options.sandbox) = args[++i];
    } else if (arg == "--walk") {
      options.walk = true;
    } else if (!arg.empty() && arg[0] != '-' && options.script.empty()) {
      options.script = arg;
    } else {
      return false;
    }
  }
  return !(options.walk && !options.script.empty());
}

// The API host of an endpoint URL: the URL itself, less the API path when it ends with it.
std::string hostOfEndpoint(std::string url) {
  while (!url.empty() && url.back() == '/') url.pop_back();
  const std::string path = Config::kApiPath;
  if (NSString::hasSuffix(url, path)) url.resize(url.size() - path.size());
  return url;
}

std::string describeRequest(const DevRequest& request) {
  std::string line = request.api + ":";
  for (const auto& [key, value] : request.params) {
    if (key == "api") continue;
    line += " " + key + "=" + value;
  }
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  // Asking for the usage is not a mistake: it goes to standard output and the run succeeds.
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") {
      std::cout << kUsage;
      return 0;
    }
  }
  Options options;
  if (!parseOptions(argc, argv, options)) {
    std::cerr << kUsage;
    return 2;
  }
  const std::string resources = TOVIRA_RESOURCES;

  std::ifstream scriptFile;
  if (options.walk || !options.script.empty()) {
    const std::string path = options.walk ? resources + "/walk.txt" : options.script;
    scriptFile.open(path);
    if (!scriptFile) {
      std::cerr << "tovira-sim: cannot read " << path << "\n";
      return 1;
    }
  }

  const bool temporarySandbox = options.sandbox.empty();
  const std::string sandbox =
      temporarySandbox ? Sandbox::makeTemporaryDirectory("tovira-sim") : options.sandbox;
  if (sandbox.empty()) {
    std::cerr << "tovira-sim: cannot make a temporary sandbox folder\n";
    return 1;
  }
  Sandbox::setRoot(sandbox);
  SimulatedDevice::shared().setRoot(sandbox + "/Device");
  NSBundle::mainBundle().setResourcePath(resources);
  RunLoop::main().install(std::make_shared<RealClock>());
  // The log goes to the sink only, so that the output is the screen and nothing else.
  NSLogSink::setEcho(false);

  std::unique_ptr<DevServer> server;
  SimServerHooks hooks;
  if (!options.endpoint.empty()) {
    Config::setApiHost(hostOfEndpoint(options.endpoint));
  } else {
    server = std::make_unique<DevServer>();
    // A fixed port keeps the demo's links, and so the output, the same from run to run; any free
    // port does when it is taken.
    if (!server->loadDemo(resources + "/demo") ||
        !loopback::startPreferring(*server, kDemoPort, std::cerr, "demo")) {
      std::cerr << "tovira-sim: cannot start the demo server\n";
      return 1;
    }
    Config::setApiHost(server->baseUrl());
    DevServer* demo = server.get();
    hooks.requests = [demo] {
      std::vector<std::string> lines;
      for (const auto& request : demo->requests()) lines.push_back(describeRequest(request));
      return lines;
    };
    hooks.reply = [demo](const std::string& api, const std::string& json) {
      demo->replyOnce(api, json);
    };
  }

  // The statistics server beside it, on loopback, with a module configuration to hand out.
  auto statServer = std::make_unique<StatServer>();
  if (!loopback::startPreferring(*statServer, kDemoPort + 1, std::cerr, "statistics")) {
    std::cerr << "tovira-sim: cannot start the statistics server\n";
    return 1;
  }
  statServer->setConfiguration(1, Value::dict({{"rs", Value(3)}}), 1, "demo");
  hooks.statsReportUrl = statServer->reportUrl();
  hooks.stats = statsSummaryHook(*statServer);

  // A command that failed does not stop the script, so that its output stays comparable with a
  // sound run's; it makes the exit status 1, so that a broken walk cannot pass unnoticed.
  int failures = 0;
  {
    SimCommandLoop loop(hooks);
    loop.run(scriptFile.is_open() ? static_cast<std::istream&>(scriptFile) : std::cin, std::cout);
    std::cout << loop.summary(options.walk ? "walk" : "script") << std::endl;
    failures = loop.failures();
  }
  PLOStat::resetForTesting();
  statServer->stop();
  if (server) server->stop();
  if (temporarySandbox) {
    std::error_code ec;
    std::filesystem::remove_all(sandbox, ec);
  }
  return failures > 0 ? 1 : 0;
}
