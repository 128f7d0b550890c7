#include "shell/AppMain.h"

#include "account/AccountClasses.h"
#include "core/TempData.h"
#include "keyboard/KBKeyboardManager.h"
#include "parley/PLApiRegister.h"
#include "parley/StatPL.h"
#include "parley/stats/PLOStat.h"
#include "platform/automation/Automation.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/foundation/RunLoop.h"
#include "platform/services/SimulatedDevice.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIResponder.h"
#include "shell/AppDelegate.h"

// The wallet's and the games' screens register through their library's function. It is declared
// here rather than included, so that the shell builds against no header of theirs.
void registerWalletClasses();
void registerGamesClasses();

TOVIRA_DECLARE_REGISTRATION(AppDelegate);
TOVIRA_DECLARE_REGISTRATION(GuideViewController);
TOVIRA_DECLARE_REGISTRATION(HomeViewController);
TOVIRA_DECLARE_REGISTRATION(TabBarController);
TOVIRA_DECLARE_REGISTRATION(WebBrowserController);
TOVIRA_DECLARE_REGISTRATION(H5ViewController);
TOVIRA_DECLARE_REGISTRATION(GameCenterController);
TOVIRA_DECLARE_REGISTRATION(KaifubiaoController);

void registerShellClasses() {
  toviraRegisterClass_AppDelegate();
  toviraRegisterClass_GuideViewController();
  toviraRegisterClass_HomeViewController();
  toviraRegisterClass_TabBarController();
  toviraRegisterClass_WebBrowserController();
  toviraRegisterClass_H5ViewController();
  toviraRegisterClass_GameCenterController();
  toviraRegisterClass_KaifubiaoController();
}

std::shared_ptr<AppDelegate> AppMain(const Value& launchOptions) {
  registerUIKitClasses();
  registerShellClasses();
  registerAccountClasses();
  registerWalletClasses();
  registerGamesClasses();
  // The keyboard manager switches itself on before the first screen, as it would at load time.
  KBKeyboardManager::load();
  auto delegate = AppDelegate::create();
  UIApplication::sharedApplication()->launch(delegate, launchOptions);
  return delegate;
}

void AppShutdown() {
  UIApplication::sharedApplication()->terminate();
  auto clock = RunLoop::main().clockPtr();
  RunLoop::main().reset();
  RunLoop::main().install(clock);
  Automation::endAppProcess();
  TempData::reset();
  NSUserDefaults::resetStandardUserDefaults();
  SimulatedDevice::shared().restartApp();
  // The SDK's singletons lived in the app's process too: the next launch registers again, and the
  // statistics module reads its shared identifier back from the defaults and the device's slots.
  PLApiRegister::resetForTesting();
  StatPL::resetForTesting();
  PLOStat::resetForTesting();
}
