#include "shell/PlaceholderController.h"

#include <mutex>

#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIView.h"
#include "shell/BackButton.h"

namespace {
std::mutex& placeholderMutex() {
  static std::mutex m;
  return m;
}
}  // namespace

PlaceholderController::PlaceholderController(std::string registeredName, std::string title,
                                             bool closable)
    : registeredName_(std::move(registeredName)), closable_(closable) {
  setTitle(title);
}

void PlaceholderController::viewDidLoad() {
  auto root = view();
  root->setBackgroundColor(UIColor::whiteColor());
  const double width = root->bounds().size.width;

  auto label = UILabel::create(CGRectMake(0, 100, width, 30));
  label->setText(title());
  label->setTextAlignment(NSTextAlignmentCenter);
  label->setFont(UIFont::boldSystemFontOfSize(18));
  root->addSubview(label);

  if (closable_) {
    root->addSubview(makeBackButton(sharedSelf<PlaceholderController>(), CGRectMake(10, 25, 60, 30),
                                    UIColor::blackColor()));
  }
}

void PlaceholderController::registerIfMissing(const std::string& name, const std::string& title,
                                              bool closable) {
  std::lock_guard<std::mutex> lock(placeholderMutex());
  if (ClassRegistry::exists(name)) return;
  ClassRegistry::registerClass(name, "UIViewController", [name, title, closable] {
    return std::shared_ptr<NSObject>(
        std::make_shared<PlaceholderController>(name, title, closable));
  });
}
