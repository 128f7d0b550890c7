#pragma once

// Told by the web login page when its left bar button should go or come.
// Both optional; main thread.
class PLUIWebViewControllDelegate {
 public:
  virtual ~PLUIWebViewControllDelegate() = default;
  virtual void onHiddenLeftBar() {}
  virtual void onShowLeftBar() {}
};
