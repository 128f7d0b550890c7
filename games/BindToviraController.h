#pragma once
// The game-account binding tab ("BindToviraController"): a logged-in player ties the game
// accounts he holds on the three partner platforms to his app account, sees the accounts tied
// already, copies their names and unties them. It is the only screen that changes the bound
// accounts on the server; the rest of the app reads them from UserData "bondlist", which the
// re-login after every bind and unbind refreshes.
//
// One horizontally paged scroll view holds two pages: the bind page (the game picker, the game
// user name and password fields, the provider line, the bind button) and the my-accounts page
// (the bound accounts with "复制" and "解除", and the folding notice "账号需知:"). Unbinding asks
// for the app password in a dialog over a dimming mask.
//
// Main thread only; its server calls and the re-login block the main thread until the reply has
// come. The login screen is made by class name through the class registry.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Value.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UITextField.h"
#include "platform/uikit/UIViewController.h"

class UIButton;
class UIGestureRecognizer;
class UILabel;

class BindToviraController : public UIViewController,
                             public UITextFieldDelegate,
                             public UIScrollViewDelegate {
  TOVIRA_CLASS(BindToviraController)
  static std::shared_ptr<BindToviraController> create() {
    return std::make_shared<BindToviraController>();
  }

  // Colours of the page tabs and of the borders of the fields and the picker.
  static std::shared_ptr<UIColor> tabGreen();  // 92/169/47
  static std::shared_ptr<UIColor> tabGrey();   // 194/194/192
  static std::shared_ptr<UIColor> blue();      // 47/128/197: the bind button, "复制"
  static std::shared_ptr<UIColor> red();       // 247/82/55: highlighted words of the notice

  void viewDidLoad() override;
  void viewDidAppear(bool animated) override;

  void back();
  void topbackbtnclick() { back(); }
  void tologin();
  void choosegameviewclick();
  void gamezimulabelclick(UIGestureRecognizer& recognizer);
  void gamelabelclick(UIGestureRecognizer& recognizer);
  void bindbtnclick();
  void unbindbtnclick();
  void bindtovira();
  void buttonClick(UIButton& button);
  void unbindtovira();
  void reallyunbindtovira();
  void maskclick();
  void accountNeedKnow();
  void tapGestureRecognizer();

  // UIScrollViewDelegate
  void scrollViewDidEndDecelerating(UIScrollView& scrollView) override;
  // UITextFieldDelegate
  bool textFieldShouldReturn(UITextField& textField) override;
  bool textFieldShouldEndEditing(UITextField& textField) override;
  bool shouldChangeCharactersInRange(UITextField& textField, NSRange range,
                                     const std::string& replacement) override;
  bool textFieldShouldClear(UITextField& textField) override;

  // The provider line for a chosen game's platform, given what the player holds already:
  // `accountPlat` "1", "2", "3" (both) or other, `h5Plat` "1" when he holds a platform-3
  // account. nullopt for a platform other than "1", "2", "3" (the line keeps its text).
  static std::optional<std::string> providerLine(const std::string& platId,
                                                 const std::string& accountPlat,
                                                 const std::string& h5Plat);

  // What the screen holds, for tests and the simulator.
  std::shared_ptr<UIView> topview() const { return topview_; }
  std::shared_ptr<UILabel> topbacklabel() const { return topbacklabel_; }
  std::shared_ptr<UIScrollView> mainscroll() const { return mainscroll_; }
  std::shared_ptr<UIButton> bindbtn() const { return bindbtn_; }
  std::shared_ptr<UIButton> unbindbtn() const { return unbindbtn_; }
  std::shared_ptr<UIView> choosegameview() const { return choosegameview_; }
  std::shared_ptr<UIView> choosegamedropview() const { return choosegamedropview_; }
  std::shared_ptr<UIScrollView> gamescroll() const { return gamescroll_; }
  std::shared_ptr<UIScrollView> gamezimuscroll() const { return gamezimuscroll_; }
  std::shared_ptr<UILabel> choosegamelabel() const { return choosegamelabel_; }
  std::shared_ptr<UILabel> qxusername() const { return qxusername_; }
  std::shared_ptr<UITextField> username() const { return username_; }
  std::shared_ptr<UITextField> password() const { return password_; }
  std::shared_ptr<UILabel> usernamelabel() const { return usernamelabel_; }
  std::shared_ptr<UILabel> passwordlabel() const { return passwordlabel_; }
  std::shared_ptr<UITextField> qxuserpassword() const { return qxuserpassword_; }
  std::shared_ptr<UIView> mask() const { return mask_; }
  std::shared_ptr<UIView> qxpasswordtanchuview() const { return qxpasswordtanchuview_; }
  std::shared_ptr<UILabel> showgameplatlabel() const { return showgameplatlabel_; }
  std::shared_ptr<UIView> myAccountView() const { return myAccountView_; }
  std::shared_ptr<UIScrollView> accountScrollView() const { return accountScrollView_; }
  std::shared_ptr<UIButton> needKnowBtn() const { return needKnowBtn_; }
  std::shared_ptr<UIView> needKnowView() const { return needKnowView_; }
  const std::string& bindplatid() const { return bindplatid_; }
  const std::string& accountPlat() const { return accountPlat_; }
  const std::string& h5Plat() const { return h5Plat_; }

 private:
  void initSubview();
  void buildBindPage(UIView& page);
  void buildDialog();
  // Loads the whole game list into the picker (on every appearance).
  void loadGames();
  // Works out which platforms the player holds from the bondlist held now.
  void markHeldPlatforms(const Value& user);
  // A fresh accountScrollView with the notice, then the rows of `bondlist`.
  void rebuildAccounts(const Value& bondlist);
  // loadAccountList: the re-login, then the rows of the refreshed bondlist.
  void loadAccountList();
  void addNeedKnowBtn();
  void addNeedKnowView();
  std::shared_ptr<UIView> createNum(const std::string& number, double y);
  void selectTab(bool bindPage);
  void resignFields();
  bool loggedIn() const;
  std::shared_ptr<UILabel> placeholderFor(const UITextField& field) const;

  std::shared_ptr<UIView> topview_;
  std::shared_ptr<UILabel> topbacklabel_;
  std::shared_ptr<UIScrollView> mainscroll_;
  std::shared_ptr<UIButton> bindbtn_;
  std::shared_ptr<UIButton> unbindbtn_;
  std::shared_ptr<UIView> bindPage_;
  std::shared_ptr<UIView> choosegameview_;
  std::shared_ptr<UIView> choosegamedropview_;
  std::shared_ptr<UIScrollView> gamescroll_;
  std::shared_ptr<UIScrollView> gamezimuscroll_;
  std::shared_ptr<UILabel> choosegamelabel_;
  std::shared_ptr<UILabel> qxusername_;
  std::shared_ptr<UITextField> username_;
  std::shared_ptr<UITextField> password_;
  std::shared_ptr<UILabel> usernamelabel_;
  std::shared_ptr<UILabel> passwordlabel_;
  std::shared_ptr<UILabel> wenxintishilabel_;
  std::shared_ptr<UILabel> twotextlabel_;
  std::shared_ptr<UITextField> qxuserpassword_;
  std::shared_ptr<UIView> mask_;
  std::shared_ptr<UIView> qxpasswordtanchuview_;
  std::shared_ptr<UILabel> showgameplatlabel_;
  std::shared_ptr<UIView> myAccountView_;
  std::shared_ptr<UIScrollView> accountScrollView_;
  std::shared_ptr<UIButton> needKnowBtn_;
  std::shared_ptr<UIView> needKnowView_;

  std::string bindplatid_;  // "" until a game is chosen
  std::string unbindplatid_;
  std::string unbindUsername_;
  std::string accountPlat_ = "0";
  std::string h5Plat_ = "0";
  bool selected_ = true;
  // The accounts the rows show, as read when they were built.
  std::vector<Value> rowsBondlist_;
};
