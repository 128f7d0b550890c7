#include "platform/automation/Automation.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "platform/foundation/NSString.h"
#include "platform/foundation/RunLoop.h"
#include "platform/services/PhotoAlbum.h"
#include "platform/services/SimulatedDevice.h"
#include "platform/uikit/UIKit.h"

namespace {

std::shared_ptr<UIView> topAncestor(const std::shared_ptr<UIView>& v) {
  auto r = v;
  while (r && r->superview()) r = r->superview();
  return r;
}

bool isDrawn(const UIView& v) { return !v.isHidden() && v.alpha() >= 0.01; }

// Pre-order walk of visible views: painting order, back to front. A view counts as visible
// when it is drawn and some of it lies inside the clipping ancestors (scroll views clip, so
// rows scrolled out of sight are not found) and inside the screen.
void walk(const std::shared_ptr<UIView>& v, CGRect clip,
          std::vector<std::shared_ptr<UIView>>& out) {
  if (!v || !isDrawn(*v)) return;
  CGRect inWindow = v->convertRect(v->bounds(), nullptr);
  if (CGRectIntersectsRect(inWindow, clip)) out.push_back(v);
  if (v->clipsToBounds()) clip = CGRectIntersection(clip, inWindow);
  for (auto& c : v->subviews()) walk(c, clip, out);
}

std::vector<std::shared_ptr<UIView>> visibleViews() {
  std::vector<std::shared_ptr<UIView>> out;
  CGRect screen = UIScreen::mainScreen()->bounds();
  for (auto& root : Automation::screenRoots()) walk(root, screen, out);
  return out;
}

// A label that is part of a control (a button's title, a segment) stands for the control.
std::shared_ptr<UIView> owner(const std::shared_ptr<UIView>& v) {
  auto parent = v->superview();
  if (std::dynamic_pointer_cast<UILabel>(v) &&
      (std::dynamic_pointer_cast<UIButton>(parent) ||
       std::dynamic_pointer_cast<UISegmentedControl>(parent)))
    return parent;
  return v;
}

void addUnique(std::vector<std::shared_ptr<UIView>>& list, const std::shared_ptr<UIView>& v) {
  if (std::find(list.begin(), list.end(), v) == list.end()) list.push_back(v);
}

double now() { return RunLoop::main().now(); }

// Delivers a tap that hit-testing sent to `hit`, as described in the header.
std::shared_ptr<UIView> deliverTap(const std::shared_ptr<UIView>& hit, CGPoint windowPoint) {
  if (!hit || UIAlertView::currentAlert()) return nullptr;
  UITouch touch(hit, windowPoint, now());
  for (auto v = hit; v; v = v->superview()) {
    for (auto& g : v->gestureRecognizers()) {
      if (!std::dynamic_pointer_cast<UITapGestureRecognizer>(g)) continue;
      if (!g->acceptsTouch(touch)) continue;
      g->fire(UIGestureRecognizerStateEnded, windowPoint);
      return v;
    }
    if (auto control = std::dynamic_pointer_cast<UIControl>(v)) {
      if (control->isEnabled()) {
        control->touchUpInside(control->convertPointFromView(windowPoint, nullptr));
        return v;
      }
    }
    if (auto textView = std::dynamic_pointer_cast<UITextView>(v)) {
      if (textView->canBecomeFirstResponder()) {
        textView->becomeFirstResponder();
        return v;
      }
    }
    if (auto cell = std::dynamic_pointer_cast<UITableViewCell>(v)) {
      if (auto table = cell->tableView()) {
        if (auto ip = table->indexPathForCell(*cell)) {
          table->userSelectRow(*ip);
          return v;
        }
      }
    }
    if (auto cell = std::dynamic_pointer_cast<UICollectionViewCell>(v)) {
      if (auto cv = cell->collectionView()) {
        if (auto ip = cv->indexPathForCell(*cell)) {
          cv->userSelectItem(*ip);
          return v;
        }
      }
    }
  }
  return hit;  // the touch landed but nothing acted on it
}

// The root to hit-test from for a view, and the view's centre in that root's coordinates.
std::shared_ptr<UIView> rootAndCentre(const std::shared_ptr<UIView>& view, CGPoint& centre) {
  if (UIAlertView::currentAlert()) return nullptr;  // an alert takes every touch
  auto root = topAncestor(view);
  CGRect b = view->bounds();
  centre = view->convertPoint(CGPoint{CGRectGetMidX(b), CGRectGetMidY(b)}, nullptr);
  return root;
}

std::string quote(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '\n')
      out += "\\n";
    else if (c == '"')
      out += "\\\"";
    else
      out += c;
  }
  return out + "\"";
}

std::string colorText(const std::shared_ptr<UIColor>& c) { return c ? c->description() : "nil"; }

std::string rangesText(const std::shared_ptr<NSAttributedString>& a) {
  if (!a) return "";
  auto ranges = a->colorRanges();
  if (ranges.empty()) return "";
  std::string out = " ranges=[";
  for (size_t i = 0; i < ranges.size(); ++i) {
    if (i) out += ", ";
    out += std::to_string(ranges[i].range.location) + "+" + std::to_string(ranges[i].range.length) +
           " " + ranges[i].color->description();
  }
  return out + "]";
}

std::string imageText(const std::shared_ptr<UIImage>& img) {
  if (!img) return "";
  if (!img->name().empty()) return img->name();
  return "(" + CGNumberDescription(img->size().width) + "x" +
         CGNumberDescription(img->size().height) + ")";
}

void describe(const std::shared_ptr<UIView>& v, int depth, std::ostringstream& out) {
  std::string pad(static_cast<size_t>(depth) * 2, ' ');
  out << pad << v->className() << " " << CGRectDescription(v->frame());
  if (v->tag() != 0) out << " tag=" << v->tag();
  bool descend = true;
  if (auto button = std::dynamic_pointer_cast<UIButton>(v)) {
    std::string title = button->currentTitle();
    if (!title.empty()) {
      out << " title=" << quote(title) << " color=" << colorText(button->currentTitleColor());
      out << rangesText(button->attributedTitleForState(button->state()));
    }
    if (auto img = button->currentImage()) out << " image=" << imageText(img);
    if (auto img = button->currentBackgroundImage()) out << " bgImage=" << imageText(img);
    if (button->isSelected()) out << " selected";
    if (!button->isEnabled()) out << " disabled";
  } else if (auto seg = std::dynamic_pointer_cast<UISegmentedControl>(v)) {
    out << " segments=[";
    for (long i = 0; i < seg->numberOfSegments(); ++i) {
      out << (i ? ", " : "") << quote(seg->titleForSegmentAtIndex(i));
    }
    out << "] selected=" << seg->selectedSegmentIndex();
    descend = false;
  } else if (auto label = std::dynamic_pointer_cast<UILabel>(v)) {
    out << " text=" << quote(label->text()) << " color=" << colorText(label->textColor());
    out << " font=" << (label->font() ? label->font()->description() : "nil");
    out << rangesText(label->attributedText());
    if (label->lineSpacing() > 0)
      out << " lineSpacing=" << CGNumberDescription(label->lineSpacing());
  } else if (auto field = std::dynamic_pointer_cast<UITextField>(v)) {
    std::string shown = field->isSecureTextEntry()
                            ? std::string(NSString::length(field->text()), '*')
                            : field->text();
    out << " text=" << quote(shown);
    if (!field->placeholder().empty()) out << " placeholder=" << quote(field->placeholder());
    if (field->keyboardType() != UIKeyboardTypeDefault)
      out << " keyboard=" << field->keyboardType();
    if (field->isEditing()) out << " editing";
    if (!field->isEnabled()) out << " disabled";
  } else if (auto tv = std::dynamic_pointer_cast<UITextView>(v)) {
    out << " text=" << quote(tv->text());
    if (tv->isEditing()) out << " editing";
  } else if (auto iv = std::dynamic_pointer_cast<UIImageView>(v)) {
    if (iv->image()) out << " image=" << imageText(iv->image());
  } else if (auto spinner = std::dynamic_pointer_cast<UIActivityIndicatorView>(v)) {
    if (spinner->isAnimating()) out << " animating";
  } else if (auto web = std::dynamic_pointer_cast<UIWebView>(v)) {
    if (web->request()) out << " url=" << quote(web->request()->absoluteString());
  }
  if (auto sv = std::dynamic_pointer_cast<UIScrollView>(v)) {
    if (sv->contentOffset() != CGPointZero)
      out << " offset=(" << CGNumberDescription(sv->contentOffset().x) << ","
          << CGNumberDescription(sv->contentOffset().y) << ")";
    out << " content=(" << CGNumberDescription(sv->contentSize().width) << ","
        << CGNumberDescription(sv->contentSize().height) << ")";
  }
  if (auto bg = v->backgroundColor()) out << " bg=" << bg->description();
  if (v->alpha() != 1) out << " alpha=" << CGNumberDescription(v->alpha());
  if (v->layer().cornerRadius() != 0)
    out << " radius=" << CGNumberDescription(v->layer().cornerRadius());
  if (v->layer().borderWidth() != 0)
    out << " border=" << CGNumberDescription(v->layer().borderWidth()) << " "
        << colorText(v->layer().borderColor());
  if (v->isHidden()) {
    out << " hidden\n";
    return;
  }
  out << "\n";
  if (!descend) return;
  auto button = std::dynamic_pointer_cast<UIButton>(v);
  for (auto& child : v->subviews()) {
    // A button's own title label and image views are told on its line.
    if (button && (child == button->titleLabel() || child == button->imageView() ||
                   child == button->backgroundImageView()))
      continue;
    describe(child, depth + 1, out);
  }
}

}  // namespace

std::shared_ptr<UIViewController> Automation::topViewController() {
  auto window = UIApplication::sharedApplication()->keyWindow();
  if (!window) return nullptr;
  auto vc = window->rootViewController();
  while (vc && vc->presentedViewController()) vc = vc->presentedViewController();
  return vc;
}

std::vector<std::shared_ptr<UIView>> Automation::screenRoots() {
  auto window = UIApplication::sharedApplication()->keyWindow();
  if (!window) return {};
  auto root = window->rootViewController();
  auto top = topViewController();
  if (!top || top == root || !top->isViewLoaded()) return {window};
  // The topmost presented screen covers the window; views added above it stay visible.
  std::vector<std::shared_ptr<UIView>> roots;
  auto topView = top->view();
  bool above = false;
  for (auto& child : window->subviews()) {
    if (child == topView) above = true;
    if (above) roots.push_back(child);
  }
  if (roots.empty()) roots.push_back(topView);
  return roots;
}

bool Automation::isVisible(const std::shared_ptr<UIView>& view) {
  if (!view) return false;
  auto all = visibleViews();
  return std::find(all.begin(), all.end(), view) != all.end();
}

std::string Automation::textOf(const std::shared_ptr<UIView>& v) {
  if (auto b = std::dynamic_pointer_cast<UIButton>(v)) return b->currentTitle();
  if (auto l = std::dynamic_pointer_cast<UILabel>(v)) return l->text();
  if (auto f = std::dynamic_pointer_cast<UITextField>(v))
    return f->text().empty() ? f->placeholder() : f->text();
  if (auto t = std::dynamic_pointer_cast<UITextView>(v)) return t->text();
  return "";
}

std::vector<std::shared_ptr<UIView>> Automation::findAllByText(const std::string& text) {
  std::vector<std::shared_ptr<UIView>> out;
  for (auto& v : visibleViews()) {
    bool match = false;
    if (auto b = std::dynamic_pointer_cast<UIButton>(v))
      match = b->currentTitle() == text;
    else if (auto l = std::dynamic_pointer_cast<UILabel>(v))
      match = l->text() == text;
    else if (auto f = std::dynamic_pointer_cast<UITextField>(v))
      match = f->text() == text;
    else if (auto t = std::dynamic_pointer_cast<UITextView>(v))
      match = t->text() == text;
    if (match) addUnique(out, owner(v));
  }
  return out;
}

std::shared_ptr<UIView> Automation::findByText(const std::string& text) {
  auto all = findAllByText(text);
  return all.empty() ? nullptr : all.back();
}

std::shared_ptr<UIView> Automation::findContainingText(const std::string& fragment) {
  std::shared_ptr<UIView> found;
  for (auto& v : visibleViews()) {
    std::string t;
    if (auto b = std::dynamic_pointer_cast<UIButton>(v))
      t = b->currentTitle();
    else if (auto l = std::dynamic_pointer_cast<UILabel>(v))
      t = l->text();
    else if (auto f = std::dynamic_pointer_cast<UITextField>(v))
      t = f->text();
    else if (auto tv = std::dynamic_pointer_cast<UITextView>(v))
      t = tv->text();
    if (!t.empty() && t.find(fragment) != std::string::npos) found = owner(v);
  }
  return found;
}

std::vector<std::shared_ptr<UIView>> Automation::findAllByTag(long tag) {
  std::vector<std::shared_ptr<UIView>> out;
  for (auto& v : visibleViews()) {
    if (v->tag() == tag) out.push_back(v);
  }
  return out;
}

std::shared_ptr<UIView> Automation::findByTag(long tag) {
  auto all = findAllByTag(tag);
  return all.empty() ? nullptr : all.back();
}

std::vector<std::shared_ptr<UIView>> Automation::findAllByClass(const std::string& className) {
  std::vector<std::shared_ptr<UIView>> out;
  for (auto& v : visibleViews()) {
    if (v->isKindOfClass(className)) out.push_back(v);
  }
  return out;
}

std::shared_ptr<UIView> Automation::findByClass(const std::string& className) {
  auto all = findAllByClass(className);
  return all.empty() ? nullptr : all.back();
}

std::shared_ptr<UIView> Automation::hitTest(CGPoint windowPoint) {
  auto window = UIApplication::sharedApplication()->keyWindow();
  if (!window || UIAlertView::currentAlert()) return nullptr;
  return window->hitTest(windowPoint);
}

std::shared_ptr<UIView> Automation::tapAt(CGPoint windowPoint) {
  return deliverTap(hitTest(windowPoint), windowPoint);
}

std::shared_ptr<UIView> Automation::tap(const std::shared_ptr<UIView>& view) {
  if (!view) return nullptr;
  CGPoint centre;
  auto root = rootAndCentre(view, centre);
  return root ? deliverTap(root->hitTest(centre), centre) : nullptr;
}

std::shared_ptr<UIView> Automation::tapText(const std::string& text) {
  return tap(findByText(text));
}

std::shared_ptr<UIView> Automation::tapTag(long tag) { return tap(findByTag(tag)); }

std::shared_ptr<UIView> Automation::longPress(const std::shared_ptr<UIView>& view, double seconds) {
  if (!view) return nullptr;
  CGPoint centre;
  auto root = rootAndCentre(view, centre);
  auto hit = root ? root->hitTest(centre) : nullptr;
  if (!hit) return nullptr;
  UITouch touch(hit, centre, now());
  for (auto v = hit; v; v = v->superview()) {
    for (auto& g : v->gestureRecognizers()) {
      auto lp = std::dynamic_pointer_cast<UILongPressGestureRecognizer>(g);
      if (!lp || !lp->acceptsTouch(touch)) continue;
      double minimum = lp->minimumPressDuration();
      if (seconds < minimum) {
        RunLoop::main().advance(seconds);
        return deliverTap(hit, centre);  // too short: the finger lifted as a tap
      }
      RunLoop::main().advance(minimum);
      lp->fire(UIGestureRecognizerStateBegan, centre);
      RunLoop::main().advance(seconds - minimum);
      lp->fire(UIGestureRecognizerStateEnded, centre);
      return v;
    }
  }
  RunLoop::main().advance(seconds);
  return deliverTap(hit, centre);
}

bool Automation::swipe(const std::shared_ptr<UIView>& view, unsigned long direction) {
  if (!view) return false;
  CGPoint centre;
  auto root = rootAndCentre(view, centre);
  auto hit = root ? root->hitTest(centre) : nullptr;
  if (!hit) return false;
  UITouch touch(hit, centre, now());
  for (auto v = hit; v; v = v->superview()) {
    for (auto& g : v->gestureRecognizers()) {
      auto sw = std::dynamic_pointer_cast<UISwipeGestureRecognizer>(g);
      if (!sw || (sw->direction() & direction) == 0 || !sw->acceptsTouch(touch)) continue;
      sw->fire(UIGestureRecognizerStateEnded, centre);
      return true;
    }
  }
  return false;
}

namespace {
std::vector<std::string> characters(const std::string& text) {
  std::vector<std::string> out;
  std::u16string units = NSString::toUTF16(text);
  for (size_t i = 0; i < units.size(); ++i) {
    size_t n = (units[i] >= 0xD800 && units[i] <= 0xDBFF && i + 1 < units.size()) ? 2 : 1;
    out.push_back(NSString::fromUTF16(units.substr(i, n)));
    i += n - 1;
  }
  return out;
}
}  // namespace

bool Automation::type(const std::shared_ptr<UITextField>& field, const std::string& text) {
  if (!field) return false;
  if (!field->isFirstResponder()) tap(field);
  if (!field->isFirstResponder()) return false;
  for (const auto& ch : characters(text)) field->insertText(ch);
  return true;
}

bool Automation::type(const std::shared_ptr<UITextView>& view, const std::string& text) {
  if (!view) return false;
  if (!view->isFirstResponder()) tap(view);
  if (!view->isFirstResponder()) return false;
  for (const auto& ch : characters(text)) view->insertText(ch);
  return true;
}

bool Automation::typeText(const std::string& text) {
  auto fr = UIResponder::currentFirstResponder();
  if (auto f = std::dynamic_pointer_cast<UITextField>(fr)) return type(f, text);
  if (auto t = std::dynamic_pointer_cast<UITextView>(fr)) return type(t, text);
  return false;
}

bool Automation::pressReturn(const std::shared_ptr<UITextField>& field) {
  return field && field->pressReturn();
}

bool Automation::clearField(const std::shared_ptr<UITextField>& field) {
  return field && field->pressClearButton();
}

bool Automation::endEditing() {
  auto fr = UIResponder::currentFirstResponder();
  return !fr || fr->resignFirstResponder();
}

std::shared_ptr<UIAlertView> Automation::currentAlert() { return UIAlertView::currentAlert(); }

bool Automation::pressAlertButton(const std::string& title) {
  auto alert = currentAlert();
  if (!alert) return false;
  for (long i = 0; i < alert->numberOfButtons(); ++i) {
    if (alert->buttonTitleAtIndex(i) == title) {
      alert->pressButtonAtIndex(i);
      return true;
    }
  }
  return false;
}

bool Automation::pressAlertButtonAtIndex(long index) {
  auto alert = currentAlert();
  if (!alert || index < 0 || index >= alert->numberOfButtons()) return false;
  alert->pressButtonAtIndex(index);
  return true;
}

std::string Automation::alertText() {
  auto alert = currentAlert();
  if (!alert) return "";
  std::string out = alert->title() + " | " + alert->message() + " | [";
  for (long i = 0; i < alert->numberOfButtons(); ++i) {
    if (i) out += ", ";
    out += alert->buttonTitleAtIndex(i);
  }
  return out + "]";
}

void Automation::drag(const std::shared_ptr<UIScrollView>& scrollView, CGPoint offset,
                      CGPoint velocity) {
  if (scrollView) scrollView->simulateDrag(offset, velocity);
}

std::string Automation::dumpView(const std::shared_ptr<UIView>& view) {
  std::ostringstream out;
  if (view) {
    view->layoutIfNeeded();
    describe(view, 0, out);
  }
  return out.str();
}

std::string Automation::dumpScreen() {
  std::ostringstream out;
  auto window = UIApplication::sharedApplication()->keyWindow();
  if (!window) {
    out << "(no key window)\n";
  } else {
    window->layoutIfNeeded();
    out << window->className() << " " << CGRectDescription(window->frame()) << "\n";
    for (auto& root : screenRoots()) {
      if (root == window) {
        for (auto& child : window->subviews()) describe(child, 1, out);
      } else {
        describe(root, 1, out);
      }
    }
  }
  // The keyboard is drawn by the system over every window; its accessory bar, when there is
  // one, is already part of the key window's tree above.
  if (UIKeyboard::shared().isVisible())
    out << "UIKeyboard " << CGRectDescription(UIKeyboard::shared().keysFrame()) << "\n";
  for (auto& alert : UIAlertView::visibleAlerts()) {
    out << "UIAlertView title=" << quote(alert->title()) << " message=" << quote(alert->message())
        << " buttons=[";
    for (long i = 0; i < alert->numberOfButtons(); ++i) {
      out << (i ? ", " : "") << quote(alert->buttonTitleAtIndex(i));
    }
    out << "]\n";
  }
  return out.str();
}

void Automation::endAppProcess() {
  UIAlertView::resetRecorded();
  UIResponder::clearFirstResponderForTesting();
  UIKeyboard::shared().reset();
  UIApplication::sharedApplication()->reset();
  UIView::clearRecordedAnimations();
  UIImage::clearNamedCache();
}

void Automation::resetDevice(const std::string& deviceFolder) {
  UIScreen::mainScreen()->reset();
  UIDevice::currentDevice()->reset();
  PhotoAlbum::shared().reset();
  SimulatedDevice::shared().reset(deviceFolder);
}

void Automation::resetPlatform(const std::string& deviceFolder) {
  endAppProcess();
  resetDevice(deviceFolder);
}
