#pragma once
// Buttons: per-state title, title colour, image and background image, shown through a title
// label and an image view that are laid out as subviews (so a dump shows them and a tap on
// either reaches the button). Lookups for a state fall back to the normal state.

#include <map>
#include <memory>
#include <string>

#include "platform/uikit/UIControl.h"

class NSAttributedString;
class UIColor;
class UIImage;
class UIImageView;
class UILabel;

enum UIButtonType : long {
  UIButtonTypeCustom = 0,
  UIButtonTypeSystem = 1,
  UIButtonTypeRoundedRect = 1,
  UIButtonTypeDetailDisclosure = 2,
  UIButtonTypeInfoLight = 3,
  UIButtonTypeInfoDark = 4,
  UIButtonTypeContactAdd = 5,
};

class UIButton : public UIControl {
  TOVIRA_CLASS(UIButton)
 public:
  UIButton();
  static std::shared_ptr<UIButton> buttonWithType(UIButtonType type);
  static std::shared_ptr<UIButton> create(CGRect frame = CGRectZero);
  void initWithFrame(CGRect frame) override;

  UIButtonType buttonType() const { return type_; }

  void setTitle(const std::string& title, UIControlState state = UIControlStateNormal);
  std::string titleForState(UIControlState state) const;
  void setAttributedTitle(std::shared_ptr<NSAttributedString> title,
                          UIControlState state = UIControlStateNormal);
  std::shared_ptr<NSAttributedString> attributedTitleForState(UIControlState state) const;
  void setTitleColor(std::shared_ptr<UIColor> color, UIControlState state = UIControlStateNormal);
  std::shared_ptr<UIColor> titleColorForState(UIControlState state) const;
  void setImage(std::shared_ptr<UIImage> image, UIControlState state = UIControlStateNormal);
  std::shared_ptr<UIImage> imageForState(UIControlState state) const;
  void setBackgroundImage(std::shared_ptr<UIImage> image,
                          UIControlState state = UIControlStateNormal);
  std::shared_ptr<UIImage> backgroundImageForState(UIControlState state) const;

  // For the current state.
  std::string currentTitle() const;
  std::shared_ptr<UIColor> currentTitleColor() const;
  std::shared_ptr<UIImage> currentImage() const;
  std::shared_ptr<UIImage> currentBackgroundImage() const;

  std::shared_ptr<UILabel> titleLabel() const { return titleLabel_; }
  std::shared_ptr<UIImageView> imageView() const { return imageView_; }
  std::shared_ptr<UIImageView> backgroundImageView() const { return backgroundImageView_; }
  UIEdgeInsets titleEdgeInsets() const { return titleEdgeInsets_; }
  void setTitleEdgeInsets(UIEdgeInsets i);
  UIEdgeInsets imageEdgeInsets() const { return imageEdgeInsets_; }
  void setImageEdgeInsets(UIEdgeInsets i);
  UIEdgeInsets contentEdgeInsets() const { return contentEdgeInsets_; }
  void setContentEdgeInsets(UIEdgeInsets i);

  void layoutSubviews() override;
  CGSize sizeThatFits(CGSize size) const override;
  void setFrame(CGRect frame) override;

 protected:
  void stateDidChange() override;

 private:
  template <class T>
  static T lookup(const std::map<UIControlState, T>& m, UIControlState s);
  void refresh();

  UIButtonType type_ = UIButtonTypeCustom;
  std::map<UIControlState, std::string> titles_;
  std::map<UIControlState, std::shared_ptr<NSAttributedString>> attributedTitles_;
  std::map<UIControlState, std::shared_ptr<UIColor>> titleColors_;
  std::map<UIControlState, std::shared_ptr<UIImage>> images_;
  std::map<UIControlState, std::shared_ptr<UIImage>> backgroundImages_;
  std::shared_ptr<UILabel> titleLabel_;
  std::shared_ptr<UIImageView> imageView_;
  std::shared_ptr<UIImageView> backgroundImageView_;
  UIEdgeInsets titleEdgeInsets_{};
  UIEdgeInsets imageEdgeInsets_{};
  UIEdgeInsets contentEdgeInsets_{};
};
