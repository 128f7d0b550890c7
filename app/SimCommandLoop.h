#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

class StandInParley;

class AppDelegate;

// What the simulator's command loop needs of the API server it runs against. Either may be
// empty when the server is not ours to inspect (an endpoint given from outside).
struct SimServerHooks {
  // One line per request the server has received, oldest first.
  std::function<std::vector<std::string>()> requests;
  // Scripts the server's next reply to the api.
  std::function<void(const std::string& api, const std::string& json)> reply;
  // What the statistics server has received, as lines (empty when there is none of ours).
  std::function<std::vector<std::string>()> stats;
  // Where the app's statistics module reports; set again at every launch.
  std::string statsReportUrl;
};

class StatServer;

// The `stats` hook for a statistics server of ours: lets the statistics module's queues hand on
// what is on its way, then reads the server's summary lines. The server must outlive the hook.
std::function<std::vector<std::string>()> statsSummaryHook(const StatServer& server);

// The simulator's command loop: runs the app on the headless platform and drives it as a person
// would, one text command at a time, printing the screen after each.
//
// Commands: launch, screen, tap <text>|#<tag>|@<x>,<y>, hold <text>|#<tag>|@<x>,<y> (a press
// of 2 seconds), type <text>, alert, press <button title>, wait <seconds>, requests,
// reply <api> <json>, pasteboard [name], urls, install <scheme>, photos, tab <class name>
// (switches the tab bar to that screen, as the game centre does), background, stats, quit.
// "pasteboard <name>" shows one pasteboard with property lists decoded; "background" sends the
// app to the background and brings it back; "stats" shows what the statistics server received.
// A target starting with "#" or "@" must be a whole tag or a point; while an alert is up, tap and
// hold reach nothing and say so. The device has a browser for http and https, installed when the
// loop is made, so web links always open and show under "urls"; it fetches nothing.
// Empty lines and lines starting with "#" are skipped. "launch" starts the app, or restarts it
// when it runs: the process's memory is lost, and the device stays as it was (the sandbox, the
// device's folder, the general and persistent pasteboards, the installed apps, the photo album
// and the opened URLs).
//
// The caller prepares the process first: sandbox, bundle resources, the API host, the simulated
// device's folder and the run loop's clock. Everything runs on the caller's thread, which
// drives the main run loop.
class SimCommandLoop {
 public:
  explicit SimCommandLoop(SimServerHooks hooks);
  ~SimCommandLoop();

  // Runs one command line and answers its output: "> " and the line, what the command reports,
  // then the screen as text. Skipped lines answer "".
  std::string execute(const std::string& line);
  // Runs each line of `in` and writes its output to `out`, until the input ends or "quit".
  void run(std::istream& in, std::ostream& out);

  // A command fails when it could not do what it was asked (unknown command, nothing to tap, a
  // malformed target, no alert to press, ...); its report says why and the script goes on, so
  // that the output of a broken script stays comparable line by line with a sound one.
  // Commands run so far (skipped lines do not count), and how many of them failed.
  int steps() const { return steps_; }
  int failures() const { return failures_; }
  // Whether the last command that ran failed.
  bool lastCommandFailed() const { return lastFailed_; }
  // One line for the end of a run: "<name>: 12 steps, 1 failed (line 7)", naming the script
  // lines (counted by run(), from 1) of the failed commands.
  std::string summary(const std::string& name) const;

  bool quitRequested() const { return quit_; }
  bool launched() const { return delegate_ != nullptr; }
  std::shared_ptr<AppDelegate> appDelegate() const { return delegate_; }

 private:
  std::string launch();
  std::string tap(const std::string& target);
  std::string hold(const std::string& target);
  static constexpr double kHoldSeconds = 2;
  std::string screen() const;
  // Marks the running command as failed and answers `why`, its report.
  std::string fail(std::string why);

  SimServerHooks hooks_;
  std::shared_ptr<AppDelegate> delegate_;
  // The stand-in messaging app, once "install parley" has put it on the device.
  std::shared_ptr<StandInParley> parley_;
  bool quit_ = false;
  int steps_ = 0;
  int failures_ = 0;
  bool lastFailed_ = false;
  std::vector<int> failedLines_;
};
