// What moving the focus costs on a form as it grows: each step focuses the next field of a form
// of 5, 50 or 500 text fields spread over scroll views nested in an outer one, with the
// automatic toolbar on, so that the keyboard manager finds the chain, equips and titles the bars,
// enables the arrows and moves the field above the keyboard. The cost per focus must grow no
// faster than n log n: the 500-field figure at most 150 times the 5-field one.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "bench/BenchSupport.h"
#include "keyboard/KBKeyboardManager.h"
#include "platform/automation/Automation.h"
#include "platform/foundation/RunLoop.h"
#include "platform/uikit/UIKit.h"

namespace {

constexpr int kFieldsPerGroup = 5;

struct Form {
  std::shared_ptr<UIWindow> window;
  std::shared_ptr<UIViewController> controller;
  std::vector<std::shared_ptr<UITextField>> fields;
};

Form buildForm(int count) {
  Form form;
  form.controller = UIViewController::create();
  auto outer = UIScrollView::create(CGRectMake(0, 20, 320, 548));
  form.controller->view()->addSubview(outer);
  int groups = (count + kFieldsPerGroup - 1) / kFieldsPerGroup;
  outer->setContentSize(CGSizeMake(320, 250.0 * groups));
  for (int g = 0; g < groups; ++g) {
    auto inner = UIScrollView::create(CGRectMake(0, 250.0 * g, 320, 240));
    inner->setContentSize(CGSizeMake(320, 480));
    outer->addSubview(inner);
    for (int f = 0; f < kFieldsPerGroup && g * kFieldsPerGroup + f < count; ++f) {
      auto field = UITextField::create(CGRectMake(20, 10 + 90.0 * f, 280, 30));
      field->setPlaceholder("field");
      inner->addSubview(field);
      form.fields.push_back(field);
    }
  }
  form.window = UIWindow::create(UIScreen::mainScreen()->bounds());
  form.window->setRootViewController(form.controller);
  form.window->makeKeyAndVisible();
  return form;
}

void focusFields(benchmark::State& state, int count) {
  RunLoop::main().reset();
  Automation::resetPlatform();
  KBKeyboardManager::load();
  KBKeyboardManager::sharedManager()->setEnableAutoToolbar(true);
  Form form = buildForm(count);
  RunLoop::main().runUntilIdle();
  size_t next = 0;
  for (auto _ : state) {
    auto& field = form.fields[next];
    if (!field->becomeFirstResponder()) state.SkipWithError("a field refused the focus");
    next = (next + 1) % form.fields.size();
  }
  UIResponder::currentFirstResponder()->resignFirstResponder();
  RunLoop::main().runUntilIdle();
  Automation::resetPlatform();
}

void BM_KeyboardFocus5(benchmark::State& state) { focusFields(state, 5); }
void BM_KeyboardFocus50(benchmark::State& state) { focusFields(state, 50); }
void BM_KeyboardFocus500(benchmark::State& state) { focusFields(state, 500); }

BENCHMARK(BM_KeyboardFocus5)
    ->UseRealTime()
    ->MinTime(0.2)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_KeyboardFocus50)
    ->UseRealTime()
    ->MinTime(0.2)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_KeyboardFocus500)
    ->UseRealTime()
    ->MinTime(0.2)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

const bool kRegistered = registerBenchReport([](const BenchMedians& medians) {
  printBenchRatio(medians, "keyboard focus ratio (500 / 5 fields)", "BM_KeyboardFocus500",
                  "BM_KeyboardFocus5", 150);
});

}  // namespace
