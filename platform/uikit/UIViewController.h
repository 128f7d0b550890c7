#pragma once
// View controllers. The view loads lazily on first use of view(): loadView (a plain view the
// size of the screen unless overridden) and then viewDidLoad.
//
// Appearance: viewWillAppear / viewDidAppear are called on every appearance: when the
// controller becomes the window's root, when it is presented, when a controller presented
// over it is dismissed, and when its container shows it (a tab switch). Containers forward
// them to the child on screen. "will" calls run synchronously inside the triggering call;
// "did" calls and completions run on the main run loop after the call returns.
//
// Presentation: presenting from a child presents from the topmost ancestor (the controller
// that owns the presentation, as on the device). A controller that is already presenting
// refuses a second presentation (logged, no completion). The presented view is added to the
// presenter's window, full screen, on top; dismissing removes it. The animated flags are
// recorded. Presented controllers are held strongly by their presenter; parents hold
// children strongly; the reverse links are weak.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/uikit/UIResponder.h"
#include "platform/uikit/UIView.h"

class UILayoutSupport;
class UINavigationController;
class UINavigationItem;
class UITabBarController;

enum UIInterfaceOrientation : long {
  UIInterfaceOrientationUnknown = 0,
  UIInterfaceOrientationPortrait = 1,
  UIInterfaceOrientationPortraitUpsideDown = 2,
  UIInterfaceOrientationLandscapeRight = 3,
  UIInterfaceOrientationLandscapeLeft = 4,
};

enum UIModalPresentationStyle : long {
  UIModalPresentationFullScreen = 0,
  UIModalPresentationPageSheet = 1,
  UIModalPresentationFormSheet = 2,
  UIModalPresentationOverFullScreen = 5,
};

class UIViewController : public UIResponder {
  TOVIRA_CLASS(UIViewController)
 public:
  UIViewController();
  ~UIViewController() override;
  static std::shared_ptr<UIViewController> create();

  std::shared_ptr<UIView> view();  // loads on first use
  bool isViewLoaded() const { return view_ != nullptr; }
  void setView(std::shared_ptr<UIView> view);
  virtual void loadView();
  virtual void viewDidLoad() {}
  virtual void viewWillAppear(bool /*animated*/) {}
  virtual void viewDidAppear(bool /*animated*/) {}
  virtual void viewWillDisappear(bool /*animated*/) {}
  virtual void viewDidDisappear(bool /*animated*/) {}
  virtual void viewWillLayoutSubviews() {}
  virtual void viewDidLayoutSubviews() {}
  virtual void didReceiveMemoryWarning() {}

  const std::string& title() const { return title_; }
  void setTitle(const std::string& t);  // also the navigation item's title
  // Made on first use, titled with the controller's title.
  std::shared_ptr<UINavigationItem> navigationItem();

  // Presentation.
  void presentViewController(const std::shared_ptr<UIViewController>& vc, bool animated,
                             std::function<void()> completion = {});
  // Dismisses what this controller presented; when it presents nothing, dismisses the
  // controller (or its presented ancestor) from its presenter.
  void dismissViewControllerAnimated(bool animated, std::function<void()> completion = {});
  // What this controller, or the ancestor that presents for it, presented.
  std::shared_ptr<UIViewController> presentedViewController() const;
  // The presenter of this controller or of its nearest presented ancestor.
  std::shared_ptr<UIViewController> presentingViewController() const;
  bool wasPresentedAnimated() const { return presentedAnimated_; }
  bool wasDismissedAnimated() const { return dismissedAnimated_; }
  UIModalPresentationStyle modalPresentationStyle() const { return modalStyle_; }
  void setModalPresentationStyle(UIModalPresentationStyle s) { modalStyle_ = s; }

  // Containment.
  void addChildViewController(const std::shared_ptr<UIViewController>& child);
  void removeFromParentViewController();
  virtual void willMoveToParentViewController(const std::shared_ptr<UIViewController>&) {}
  virtual void didMoveToParentViewController(const std::shared_ptr<UIViewController>&) {}
  std::vector<std::shared_ptr<UIViewController>> childViewControllers() const { return children_; }
  std::shared_ptr<UIViewController> parentViewController() const { return parent_.lock(); }
  std::shared_ptr<UITabBarController> tabBarController() const;
  std::shared_ptr<UINavigationController> navigationController() const;

  // The application's status-bar orientation.
  UIInterfaceOrientation interfaceOrientation() const;
  // The guides at the top (below the status bar: 20 points, 0 when it is hidden) and at the
  // bottom (0) of the controller's view, made on first use. Constraints between a subview and
  // a guide position that subview when the view lays out (see NSLayoutConstraint).
  std::shared_ptr<UILayoutSupport> topLayoutGuide();
  std::shared_ptr<UILayoutSupport> bottomLayoutGuide();
  bool isVisible() const { return appeared_; }  // between will-appear and will-disappear

  std::shared_ptr<UIResponder> nextResponder() const override;

  // Appearance delivery, used by windows, containers and presentation. Each forwards to the
  // children on screen (childrenForAppearance) and ignores repeats of the current state.
  void beginAppearance(bool appearing, bool animated);
  void endAppearance(bool appearing, bool animated);

 protected:
  // The children whose views are on screen with this controller (all children whose view is
  // inside this controller's view by default; the selected tab / top of stack in containers).
  virtual std::vector<std::shared_ptr<UIViewController>> childrenForAppearance() const;

 private:
  friend class UIWindow;
  std::shared_ptr<UIViewController> presentationRoot() const;
  std::shared_ptr<UIView> view_;
  std::string title_;
  std::shared_ptr<UINavigationItem> navigationItem_;
  std::shared_ptr<UILayoutSupport> topLayoutGuide_;
  std::shared_ptr<UILayoutSupport> bottomLayoutGuide_;
  std::shared_ptr<UIViewController> presented_;
  std::weak_ptr<UIViewController> presenting_;
  std::vector<std::shared_ptr<UIViewController>> children_;
  std::weak_ptr<UIViewController> parent_;
  UIModalPresentationStyle modalStyle_ = UIModalPresentationFullScreen;
  bool presentedAnimated_ = false;
  bool dismissedAnimated_ = false;
  bool appeared_ = false;   // will-appear delivered without will-disappear since
  bool didAppear_ = false;  // the matching did-appear was delivered
  bool loading_ = false;
};
