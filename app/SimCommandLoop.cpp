#include "app/SimCommandLoop.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <istream>
#include <optional>
#include <ostream>
#include <sstream>

#include "app/StandInParley.h"
#include "devserver/StatServer.h"
#include "parley/ParleyApiUtil.h"
#include "parley/stats/PLOStat.h"
#include "parley/stats/PLOStatConfig.h"
#include "parley/stats/PLOStatDispatcher.h"
#include "parley/stats/PLOStatStore.h"
#include "platform/automation/Automation.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Value.h"
#include "platform/services/PhotoAlbum.h"
#include "platform/services/SimulatedDevice.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIPasteboard.h"
#include "platform/uikit/UITabBarController.h"
#include "platform/uikit/UITextField.h"
#include "platform/uikit/UIView.h"
#include "shell/AppDelegate.h"
#include "shell/AppMain.h"
#include "shell/TabBarHelper.h"

namespace {

// Splits "verb rest of line" at the first space; the rest keeps its inner spaces.
std::pair<std::string, std::string> splitCommand(const std::string& line) {
  const size_t space = line.find(' ');
  if (space == std::string::npos) return {line, ""};
  return {line.substr(0, space), NSString::trim(line.substr(space + 1))};
}

std::optional<double> parseNumber(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || *end != '\0') return std::nullopt;
  return value;
}

// A target of tap and hold: a view's text, "#<tag>" or "@<x>,<y>" in window coordinates.
struct Target {
  std::string text;
  std::optional<long> tag;
  std::optional<CGPoint> point;
};

// Reads `target` into `parsed`; answers why the command cannot go ahead ("" when it can). A
// target that starts with "#" or "@" is a tag or a point, never text, so that a mistyped one is
// refused instead of being looked for as text (or, for "#1.7", cut to another tag).
std::string readTarget(const std::string& verb, const std::string& target, Target& parsed) {
  if (target.empty()) return "usage: " + verb + " <text>|#<tag>|@<x>,<y>";
  if (target[0] == '#') {
    long tag = 0;
    const char* end = target.data() + target.size();
    const auto [at, error] = std::from_chars(target.data() + 1, end, tag);
    if (error != std::errc() || at != end) return "not a tag: " + target;
    parsed.tag = tag;
  } else if (target[0] == '@') {
    const size_t comma = target.find(',');
    if (comma == std::string::npos) return "not a point: " + target;
    const auto x = parseNumber(NSString::trim(target.substr(1, comma - 1)));
    const auto y = parseNumber(NSString::trim(target.substr(comma + 1)));
    if (!x || !y) return "not a point: " + target;
    parsed.point = CGPointMake(*x, *y);
  } else {
    parsed.text = target;
  }
  // An alert takes every touch while it is up; saying so beats "nothing to tap".
  if (Automation::currentAlert())
    return "an alert is up and takes every touch: press one of its buttons";
  return "";
}

std::shared_ptr<UIView> findTarget(const Target& target) {
  return target.tag ? Automation::findByTag(*target.tag) : Automation::findByText(target.text);
}

// A view as "class" or "class "text"". A secure field shows one "*" a character, as on screen.
std::string describeView(const std::shared_ptr<UIView>& view) {
  if (!view) return "nothing";
  auto field = std::dynamic_pointer_cast<UITextField>(view);
  if (field && field->isSecureTextEntry() && !field->text().empty())
    return view->className() + " \"" + std::string(NSString::length(field->text()), '*') + "\"";
  const std::string text = Automation::textOf(view);
  if (text.empty()) return view->className();
  return view->className() + " \"" + text + "\"";
}

// A property list as JSON, with data written as its size.
std::string describePlist(const Value& value) {
  if (value.isData()) return "\"<" + std::to_string(value.dataValue().size()) + " bytes>\"";
  if (value.isDict()) {
    std::string out = "{";
    for (const auto& [key, item] : value.dictValue()) {
      if (out.size() > 1) out += ",";
      out += Value(key).toJSON() + ":" + describePlist(item);
    }
    return out + "}";
  }
  if (value.isArray()) {
    std::string out = "[";
    for (const auto& item : value.arrayValue()) {
      if (out.size() > 1) out += ",";
      out += describePlist(item);
    }
    return out + "]";
  }
  return value.toJSON();
}

// A pasteboard value as one line of text.
std::string describeValue(const Value& value) {
  if (value.isString()) return "\"" + value.str() + "\"";
  if (value.isData()) return "<" + std::to_string(value.dataValue().size()) + " bytes>";
  return value.toJSON();
}

// One pasteboard's items, with data that holds a property list shown as JSON (its own data
// values by size).
std::string describePasteboard(const std::string& name) {
  auto board = SimulatedDevice::shared().pasteboard(name, false);
  if (!board || board->items().empty()) return "(no pasteboard " + name + ")";
  std::ostringstream text;
  text << "[" << name << "]";
  const auto items = board->items();
  for (size_t i = 0; i < items.size(); ++i) {
    for (const auto& [type, value] : items[i].dictValue()) {
      Value plist =
          value.isData() ? ParleyApiUtil::propertyListFromData(value.dataValue()) : Value();
      text << "\n  " << i << " " << type << " = "
           << (plist.isNil() ? describeValue(value) : describePlist(plist));
    }
  }
  return text.str();
}

}  // namespace

SimCommandLoop::SimCommandLoop(SimServerHooks hooks) : hooks_(std::move(hooks)) {
  // The device has a browser, as a phone does, so web links always open. The device records
  // each URL it is given; this browser loads nothing.
  for (const char* scheme : {"http", "https"}) {
    SimulatedDevice::shared().installApp(scheme, [](const std::string&) { return true; });
  }
}

SimCommandLoop::~SimCommandLoop() = default;

std::string SimCommandLoop::execute(const std::string& rawLine) {
  const std::string line = NSString::trim(rawLine);
  if (line.empty() || line[0] == '#') return "";
  const auto [verb, rest] = splitCommand(line);
  ++steps_;
  lastFailed_ = false;
  std::ostringstream out;
  out << "> " << line << "\n";
  std::string report;

  if (verb == "launch") {
    report = launch();
  } else if (verb == "screen") {
  } else if (verb == "tap") {
    report = tap(rest);
  } else if (verb == "hold") {
    report = hold(rest);
  } else if (verb == "type") {
    report = Automation::typeText(rest) ? "typed \"" + rest + "\""
                                        : fail("no text field is being edited");
  } else if (verb == "alert") {
    const std::string text = Automation::alertText();
    report = text.empty() ? "no alert" : text;
  } else if (verb == "press") {
    if (!Automation::currentAlert()) {
      report = fail("no alert is up");
    } else {
      report = Automation::pressAlertButton(rest)
                   ? "pressed \"" + rest + "\""
                   : fail("the alert has no button \"" + rest + "\"");
    }
  } else if (verb == "wait") {
    const auto seconds = parseNumber(rest);
    if (!seconds || *seconds < 0) {
      report = fail("wait needs a number of seconds");
    } else {
      RunLoop::main().advance(*seconds);
      report = "waited " + rest + " s";
    }
  } else if (verb == "requests") {
    if (!hooks_.requests) {
      report = fail("the requests are known only to the built-in server");
    } else {
      const auto lines = hooks_.requests();
      report = lines.empty() ? "(no requests)" : NSString::componentsJoinedByString(lines, "\n");
    }
  } else if (verb == "reply") {
    const auto [api, json] = splitCommand(rest);
    if (!hooks_.reply) {
      report = fail("replies can be scripted only on the built-in server");
    } else if (api.empty() || json.empty()) {
      report = fail("usage: reply <api> <json>");
    } else if (!Value::fromJSON(json)) {
      report = fail("not valid JSON: " + json);
    } else {
      hooks_.reply(api, json);
      report = "the next reply to " + api + " is set";
    }
  } else if (verb == "pasteboard" && !rest.empty()) {
    report = describePasteboard(rest);
  } else if (verb == "background") {
    UIApplication::sharedApplication()->enterBackground();
    RunLoop::main().runUntilIdle();
    UIApplication::sharedApplication()->enterForeground();
    report = "the app went to the background and came back";
  } else if (verb == "stats") {
    if (!hooks_.stats) {
      report = fail("the statistics are known only to the built-in statistics server");
    } else {
      report = NSString::componentsJoinedByString(hooks_.stats(), "\n");
    }
  } else if (verb == "pasteboard") {
    std::ostringstream text;
    bool any = false;
    for (const auto& name : SimulatedDevice::shared().pasteboardNames()) {
      auto board = SimulatedDevice::shared().pasteboard(name, false);
      if (!board) continue;
      const auto items = board->items();
      if (items.empty()) continue;
      any = true;
      text << "[" << name << "]\n";
      for (size_t i = 0; i < items.size(); ++i) {
        for (const auto& [type, value] : items[i].dictValue()) {
          text << "  " << i << " " << type << " = " << describeValue(value) << "\n";
        }
      }
    }
    report = any ? text.str() : "(the pasteboards are empty)";
    if (!report.empty() && report.back() == '\n') report.pop_back();
  } else if (verb == "urls") {
    const auto urls = SimulatedDevice::shared().openedURLs();
    report = urls.empty() ? "(no URLs opened)" : NSString::componentsJoinedByString(urls, "\n");
    if (parley_) {
      // What the stand-in messaging app read off the pasteboard for each of its URLs.
      for (const auto& got : parley_->received()) {
        if (got.commandDictionary.isNil()) continue;
        report += "\nparley received from " + got.appId + ":";
        for (const auto& [key, value] : got.commandDictionary.dictValue()) {
          report += "\n  " + key + " = " + describeValue(value);
        }
      }
    }
  } else if (verb == "install") {
    if (rest.empty()) {
      report = fail("usage: install <scheme>");
    } else {
      if (rest == "parley") {
        parley_ = StandInParley::install();
      } else {
        SimulatedDevice::shared().installApp(rest, [](const std::string&) { return true; });
      }
      report = "installed an app for " + rest + "://";
    }
  } else if (verb == "tab") {
    // The tab switch by class name that the game centre and the home screen make, for screens
    // that the tab bar's own buttons do not reach.
    auto tabs = std::dynamic_pointer_cast<UITabBarController>(Automation::topViewController());
    if (rest.empty()) {
      report = fail("usage: tab <class name>");
    } else if (!tabs) {
      report = fail("the tab bar is not on screen");
    } else if (!tabs->viewControllerOfClass(rest)) {
      report = fail("no tab of class " + rest);
    } else {
      TabBarHelper::qiehuanTabBarViewControllers(tabs, rest);
      report = "switched to " + rest;
    }
  } else if (verb == "photos") {
    const auto photos = PhotoAlbum::shared().savedPhotoPaths();
    std::ostringstream text;
    text << photos.size() << " photo(s)";
    for (const auto& path : photos) text << "\n" << std::filesystem::path(path).filename().string();
    report = text.str();
  } else if (verb == "quit") {
    quit_ = true;
    out << "bye\n";
    return out.str();
  } else {
    report = fail("unknown command: " + verb);
  }

  // Whatever the command set off (appearance calls, queued alerts, finished requests) shows
  // before the screen is printed.
  RunLoop::main().runUntilIdle();
  if (!report.empty()) out << report << "\n";
  out << screen();
  return out.str();
}

void SimCommandLoop::run(std::istream& in, std::ostream& out) {
  std::string line;
  int lineNumber = 0;
  while (!quit_ && std::getline(in, line)) {
    ++lineNumber;
    const std::string output = execute(line);
    if (output.empty()) continue;
    if (lastFailed_) failedLines_.push_back(lineNumber);
    out << output << "\n";
    out.flush();
  }
}

std::string SimCommandLoop::summary(const std::string& name) const {
  std::string text = name + ": " + std::to_string(steps_) + (steps_ == 1 ? " step, " : " steps, ") +
                     std::to_string(failures_) + " failed";
  if (failedLines_.empty()) return text;
  text += " (line";
  if (failedLines_.size() > 1) text += "s";
  for (size_t i = 0; i < failedLines_.size(); ++i) {
    text += (i == 0 ? " " : ", ") + std::to_string(failedLines_[i]);
  }
  return text + ")";
}

std::string SimCommandLoop::fail(std::string why) {
  if (!lastFailed_) ++failures_;
  lastFailed_ = true;
  return why;
}

std::string SimCommandLoop::launch() {
  const bool restart = delegate_ != nullptr;
  if (restart) {
    // The process ends: its memory, queued work and screens are gone. The device stays as it
    // is: the sandbox and the device's folder, the general and persistent pasteboards, the
    // installed apps (the browser and the stand-in messaging app among them), the photo album
    // and the record of opened URLs.
    AppShutdown();
    delegate_.reset();
  }
  if (!hooks_.statsReportUrl.empty()) {
    PLOStatConfig::getInstance()->setStatReportURL(hooks_.statsReportUrl);
  }
  delegate_ = AppMain();
  return restart ? "the app restarted" : "the app started";
}

std::string SimCommandLoop::tap(const std::string& target) {
  Target parsed;
  const std::string refused = readTarget("tap", target, parsed);
  if (!refused.empty()) return fail(refused);
  auto hit = parsed.point ? Automation::tapAt(*parsed.point) : Automation::tap(findTarget(parsed));
  if (!hit) return fail("nothing to tap: " + target);
  return "tapped " + describeView(hit);
}

std::string SimCommandLoop::hold(const std::string& target) {
  Target parsed;
  const std::string refused = readTarget("hold", target, parsed);
  if (!refused.empty()) return fail(refused);
  auto view = parsed.point ? Automation::hitTest(*parsed.point) : findTarget(parsed);
  auto held = Automation::longPress(view, kHoldSeconds);
  if (!held) return fail("nothing to hold: " + target);
  return "held " + describeView(held) + " for 2 s";
}

std::string SimCommandLoop::screen() const {
  if (!delegate_) return "(the app is not running)\n";
  std::string dump = Automation::dumpScreen();
  if (!dump.empty() && dump.back() != '\n') dump += "\n";
  return dump;
}

std::function<std::vector<std::string>()> statsSummaryHook(const StatServer& server) {
  return [&server] {
    // A report may pass through each queue in turn more than once (session, events, reply).
    for (int round = 0; round < 3; ++round) {
      PLOStat::waitForQueue();
      PLOStatStore::getInstance()->waitForQueue();
      PLOStatDispatcher::getInstance()->waitForQueue();
    }
    return server.summaryLines();
  };
}
