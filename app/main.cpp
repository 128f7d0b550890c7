// tovira-sim: runs the app on the headless platform and drives it with text commands, from a
// script file or standard input, printing the screen after each command.
//
//   tovira-sim [--endpoint URL] [--sandbox DIR] [--walk | SCRIPT]
//   tovira-sim --help
//
// Without --endpoint it starts the bundled demo server on loopback; without --sandbox the app
// gets a fresh temporary sandbox, removed at the end, also when the run ends on an error or is
// stopped by SIGINT or SIGTERM (the exit status is then 128 plus the signal's number). The run
// ends with a summary line, e.g. "walk: 151 steps, 0 failed"; the exit status is 1 when a command
// failed, 2 for a usage error (a wrong option or a script file that cannot be read), which is
// printed on a line of its own before the usage.
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
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

// Reads the arguments into options; on a usage error answers what was wrong, without the
// program's name, and leaves options half filled.
std::string parseOptions(int argc, char** argv, Options& options) {
  std::vector<std::string> args(argv + 1, argv + argc);
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--endpoint" || arg == "--sandbox") {
      if (i + 1 >= args.size()) return arg + " needs a value";
      (arg == "--endpoint" ? options.endpoint : options.sandbox) = args[++i];
    } else if (arg == "--walk") {
      options.walk = true;
    } else if (arg.empty()) {
      return "an empty script file name";
    } else if (arg[0] == '-') {
      return "unknown option " + arg;
    } else if (!options.script.empty()) {
      return "one script file at most, but two were given: " + options.script + " and " + arg;
    } else {
      options.script = arg;
    }
  }
  if (options.walk && !options.script.empty())
    return "--walk runs the bundled tour and takes no script file, but " + options.script +
           " was given";
  return "";
}

// Why a script file cannot be read, or "" when it can. The reason is the system's own, except
// for a folder, which opens like a file and only fails at the first read.
std::string unreadable(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return std::generic_category().message(errno);
  ::close(fd);
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return std::generic_category().message(EISDIR);
  return "";
}

int usageError(const std::string& what) {
  std::cerr << "tovira-sim: " << what << "\n" << kUsage;
  return 2;
}

// The temporary sandbox of the run, shared by main and the thread that ends the run on a
// signal. Made on the heap and never destroyed, so that a signal that comes while the process
// exits still finds it intact.
struct Ending {
  std::mutex mutex;
  std::string temporarySandbox;  // guarded by mutex; "" when there is none (left) to remove
};

Ending& ending() {
  static Ending* const state = new Ending;
  return *state;
}

// Removes the folder. Another thread may still write into it while it goes (the statistics
// module's queues, say), so that a removal can find a folder that is not empty: it is tried
// again a few times.
void removeFolder(const std::string& path) {
  if (path.empty()) return;
  for (int attempt = 0; attempt < 10; ++attempt) {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
    if (!std::filesystem::exists(path, ec) && !ec) return;
  }
}

// The signals that stop a run: an interrupt from the terminal, or a polite request to end.
sigset_t stoppingSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  return set;
}

// Ends the run on SIGINT or SIGTERM as a normal end would leave the files: the temporary
// sandbox goes, then the process exits with status 128 plus the signal's number. The signals are
// blocked in the calling thread, before it starts any other, so that every thread inherits the
// mask and none of them is interrupted; one thread of its own takes them with sigwait. The
// removal thus runs as ordinary code, not in a signal handler, and it ends the run also while
// the main thread is blocked reading a script from standard input. Call first thing in main.
void stopOnSignals() {
  const sigset_t set = stoppingSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  try {
    std::thread([] {
      const sigset_t waitFor = stoppingSignals();
      int number = 0;
      while (sigwait(&waitFor, &number) != 0) {
      }
      // Held until the process ends: main can neither make nor remove the sandbox meanwhile.
      ending().mutex.lock();
      removeFolder(ending().temporarySandbox);
      _exit(128 + number);
    }).detach();
  } catch (const std::system_error&) {
    // Without the thread, blocked signals would never stop the run: they stop it as before.
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
  }
}

// The run's temporary sandbox: made by the constructor (path() is "" when it could not be) and
// removed on every way out of main, so that a run that ends on an error (a server that cannot
// start, say) leaves nothing in the temporary directory either; a signal removes it through
// stopOnSignals' thread. Making it and naming it to that thread are one step under the lock, so
// that a signal in between cannot leave it behind.
class TemporarySandbox {
 public:
  explicit TemporarySandbox(bool wanted) {
    if (!wanted) return;
    std::lock_guard<std::mutex> lock(ending().mutex);
    path_ = Sandbox::makeTemporaryDirectory("tovira-sim");
    ending().temporarySandbox = path_;
  }
  ~TemporarySandbox() {
    if (path_.empty()) return;
    std::lock_guard<std::mutex> lock(ending().mutex);
    removeFolder(path_);
    ending().temporarySandbox.clear();
  }
  TemporarySandbox(const TemporarySandbox&) = delete;
  TemporarySandbox& operator=(const TemporarySandbox&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

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
  stopOnSignals();
  // Asking for the usage is not a mistake: it goes to standard output and the run succeeds.
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") {
      std::cout << kUsage;
      return 0;
    }
  }
  Options options;
  const std::string wrong = parseOptions(argc, argv, options);
  if (!wrong.empty()) return usageError(wrong);
  const std::string resources = TOVIRA_RESOURCES;

  std::ifstream scriptFile;
  if (!options.script.empty()) {
    // A script that cannot be read is the caller's mistake, as a wrong option is; no command ran.
    const std::string reason = unreadable(options.script);
    if (!reason.empty()) return usageError("cannot read " + options.script + ": " + reason);
    scriptFile.open(options.script);
    if (!scriptFile) return usageError("cannot read " + options.script);
  } else if (options.walk) {
    // The tour is part of the installation: when it is missing, the simulator is broken.
    scriptFile.open(resources + "/walk.txt");
    if (!scriptFile) {
      std::cerr << "tovira-sim: cannot read " << resources << "/walk.txt\n";
      return 1;
    }
  }

  // Declared before the servers and the loop, so that it goes after them.
  const TemporarySandbox temporarySandbox(options.sandbox.empty());
  const std::string sandbox = options.sandbox.empty() ? temporarySandbox.path() : options.sandbox;
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
  return failures > 0 ? 1 : 0;
}
