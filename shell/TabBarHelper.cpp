#include "shell/TabBarHelper.h"

#include "platform/foundation/NSLog.h"
#include "platform/uikit/UITabBarController.h"
#include "shell/TabBarController.h"

void TabBarHelper::qiehuanTabBarViewControllers(
    const std::shared_ptr<UIViewController>& tabBarController, const std::string& className) {
  auto tabs = std::dynamic_pointer_cast<UITabBarController>(tabBarController);
  if (!tabs) return;
  auto children = tabs->viewControllers();
  long index = -1;
  for (size_t i = 0; i < children.size(); ++i) {
    if (children[i] && children[i]->isKindOfClass(className)) {
      index = static_cast<long>(i);
      break;
    }
  }
  if (index < 0) {
    NSLog("TabBarHelper: no tab of class %@", className);
    return;
  }
  if (index >= TabBarController::kLastButtonPosition + 1) {
    std::swap(children[static_cast<size_t>(index)],
              children[static_cast<size_t>(TabBarController::kLastButtonPosition)]);
    tabs->setViewControllers(children);
    index = TabBarController::kLastButtonPosition;
  }
  tabs->setSelectedIndex(index);
  if (auto own = std::dynamic_pointer_cast<TabBarController>(tabs)) own->updateBarButtons();
}
