#include "games/LibaoViewController.h"

#include "core/ServerController.h"
#include "core/TempData.h"
#include "games/GamePicker.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/NSURL.h"
#include "platform/uikit/CALayer.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UIGestureRecognizer.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIScrollView.h"
#include "wallet/WalletStyle.h"

TOVIRA_REGISTER_CLASS(LibaoViewController, UIViewController)

namespace {
std::shared_ptr<UIColor> barText() { return UIColor::rgb(255, 195, 91); }
std::shared_ptr<UIColor> pageGrey() { return UIColor::rgb(216, 214, 215); }

std::shared_ptr<UILabel> makeLabel(CGRect frame, const std::string& text, double size) {
  auto label = UILabel::create(frame);
  label->setText(text);
  label->setFont(UIFont::systemFontOfSize(size));
  return label;
}
}  // namespace

std::string LibaoViewController::shopAppLink(const std::string& link) {
  if (!NSString::hasPrefix(link, "https")) return link;
  return "taobao" + link.substr(5);
}

void LibaoViewController::viewDidLoad() {
  view()->setBackgroundColor(pageGrey());
  userInfo_ = TempData::getuserdata();
  gameAry_ = Value::array({Value::dict({{"gamename", "热门新手礼包"}})});
  const CGRect screen = UIScreen::mainScreen()->bounds();
  tempDeveiceWidth_ = screen.size.width;
  tempDeveiceHeight_ = screen.size.height;
  initSubview();
}

void LibaoViewController::initSubview() {
  auto self = sharedSelf<LibaoViewController>();
  std::weak_ptr<LibaoViewController> weak = self;
  auto root = view();
  const double W = root->bounds().size.width;
  auto tapCalls = [&](void (LibaoViewController::*method)()) {
    return UITapGestureRecognizer::create(self, [weak, method] {
      if (auto s = weak.lock()) ((*s).*method)();
    });
  };

  // 1. The title bar.
  topview_ = UIView::create(CGRectMake(0, 20, W, 46));
  topview_->setBackgroundColor(UIColor::blackColor());
  auto backButton = UIButton::buttonWithType(UIButtonTypeCustom);
  backButton->setFrame(CGRectMake(13, 13, 10, 20));
  backButton->setImage(UIImage::imageNamed("ic_back.png"));
  backButton->addTarget(self, WalletStyle::action(self, &LibaoViewController::back),
                        UIControlEventTouchUpInside);
  topview_->addSubview(backButton);
  backlabel_ = makeLabel(CGRectMake(35, 13, 40, 20), "返回", 15);
  backlabel_->setTextColor(barText());
  backlabel_->setUserInteractionEnabled(true);
  backlabel_->addGestureRecognizer(tapCalls(&LibaoViewController::back));
  topview_->addSubview(backlabel_);
  auto title = makeLabel(CGRectMake((W - 100) / 2, 13, 100, 20), "新手礼包", 17);
  title->setTextColor(barText());
  title->setTextAlignment(NSTextAlignmentCenter);
  topview_->addSubview(title);
  root->addSubview(topview_);

  // 2. The header: the question, the chooser and "0.1元".
  auto header = UIView::create(CGRectMake(0, 66, W, 90));
  header->setBackgroundColor(UIColor::whiteColor());
  header->addSubview(makeLabel(CGRectMake(10, 10, W - 20, 20), "您在Tovira玩的游戏是：", 14));
  const double chooserWidth = W - 80;
  chooser_ = UIView::create(CGRectMake(10, 40, chooserWidth, 30));
  chooser_->setBackgroundColor(pageGrey());
  chooser_->layer().setCornerRadius(5);
  chooser_->addGestureRecognizer(tapCalls(&LibaoViewController::chooseGame));
  chooseLab_ = makeLabel(CGRectMake(10, 0, chooserWidth - 40, 30), kPrompt, 13);
  chooser_->addSubview(chooseLab_);
  auto arrow = UIImageView::create(CGRectMake(chooserWidth - 25, 7.5, 20, 15));
  arrow->setImage(UIImage::imageNamed("down64.png"));
  chooser_->addSubview(arrow);
  header->addSubview(chooser_);
  lingquButton_ = WalletStyle::button(CGRectMake(10 + chooserWidth + 10, 40, 50, 30), "0.1元",
                                      UIColor::whiteColor(), WalletStyle::red(), 14);
  lingquButton_->layer().setCornerRadius(5);
  lingquButton_->addTarget(self, WalletStyle::action(self, &LibaoViewController::lingqu),
                           UIControlEventTouchUpInside);
  header->addSubview(lingquButton_);
  root->addSubview(header);

  // 3. The hot list.
  gameTableview_ = UITableView::create(CGRectMake(0, 156, W, tempDeveiceHeight_ - 156));
  gameTableview_->setBackgroundColor(UIColor::clearColor());
  gameTableview_->setSeparatorColor(UIColor::clearColor());
  gameTableview_->setDataSource(std::static_pointer_cast<UITableViewDataSource>(self));
  gameTableview_->setDelegate(std::static_pointer_cast<UITableViewDelegate>(self));
  root->addSubview(gameTableview_);

  // 4. The mask that closes the open picker.
  mask_ = UIView::create(CGRectMake(0, 0, tempDeveiceWidth_, tempDeveiceHeight_));
  mask_->setBackgroundColor(UIColor::clearColor());
  mask_->setHidden(true);
  mask_->addGestureRecognizer(tapCalls(&LibaoViewController::chooseGame));
  root->addSubview(mask_);

  // 5. The picker, opening right below the chooser.
  gamescroll_ = UIScrollView::create(CGRectMake(10, 136, chooserWidth - 30, 240));
  gamescroll_->setHidden(true);
  gamezimuscroll_ = UIScrollView::create(CGRectMake(chooserWidth - 20, 136, 30, 240));
  gamezimuscroll_->setHidden(true);
  root->addSubview(gamescroll_);
  root->addSubview(gamezimuscroll_);

  // 6. Contents.
  addGame();
  addWord();
  getNewHotLibao();
}

void LibaoViewController::addGame() {
  const Value reply = ServerController::getGamelistWithParams(GamePicker::wholeListParams());
  auto self = sharedSelf<LibaoViewController>();
  std::weak_ptr<LibaoViewController> weak = self;
  GamePicker::addGame(*gamescroll_, reply, false, self, [weak](UIGestureRecognizer& r) {
    if (auto s = weak.lock()) s->gamelabelclick(r);
  });
}

void LibaoViewController::addWord() {
  auto self = sharedSelf<LibaoViewController>();
  std::weak_ptr<LibaoViewController> weak = self;
  GamePicker::addWord(*gamezimuscroll_, self, [weak](UIGestureRecognizer& r) {
    if (auto s = weak.lock()) s->gamezimulabelclick(r);
  });
}

void LibaoViewController::getNewHotLibao() {
  const Value reply = ServerController::getHotGift();
  NSLog("%@", reply);
  // Only a list of gift dictionaries adds rows; anything else leaves the heading alone.
  const Value& data = reply["data"];
  if (data.isArray()) {
    for (const auto& item : data.arrayValue()) {
      if (item.isDict()) gameAry_.append(item);
    }
  }
  gameTableview_->reloadData();
}

void LibaoViewController::chooseGame() {
  const bool open = gamescroll_->isHidden();
  mask_->setHidden(!open);
  gamescroll_->setHidden(!open);
  gamezimuscroll_->setHidden(!open);
}

void LibaoViewController::gamelabelclick(UIGestureRecognizer& recognizer) {
  auto row = std::dynamic_pointer_cast<UILabel>(recognizer.view());
  if (!row) return;
  chooseLab_->setText(GamePicker::chosenName(*row));
  gamescroll_->setHidden(true);
  gamezimuscroll_->setHidden(true);
  mask_->setHidden(true);
}

void LibaoViewController::gamezimulabelclick(UIGestureRecognizer& recognizer) {
  auto letter = std::dynamic_pointer_cast<UILabel>(recognizer.view());
  if (letter) GamePicker::highlightLetter(*gamescroll_, *gamezimuscroll_, *letter);
}

void LibaoViewController::lingqu() {
  // The name is escaped outside the unreserved characters, so that no "&" or "=" in it can
  // add keys to the request.
  const Value reply = ServerController::getTaobaoLink(NSString::percentEscape(chooseLab_->text()));
  openGiftLink(reply["data"]["tb_url"].str());
}

void LibaoViewController::openGiftLink(const std::string& link) {
  if (link.empty()) {
    WalletStyle::alert("很抱歉", "该游戏暂不提供新手礼包", "确定");
    return;
  }
  auto app = UIApplication::sharedApplication();
  auto inShopApp = NSURL::URLWithString(shopAppLink(link));
  if (inShopApp && app->canOpenURL(inShopApp)) {
    app->openURL(inShopApp);
    return;
  }
  app->openURL(NSURL::URLWithString(link));
}

void LibaoViewController::back() { dismissViewControllerAnimated(true); }

// ---- The hot list ---------------------------------------------------------------------------

long LibaoViewController::numberOfRowsInSection(UITableView&, long) {
  return static_cast<long>(gameAry_.count());
}

double LibaoViewController::heightForRowAtIndexPath(UITableView&, const NSIndexPath&) { return 30; }

std::shared_ptr<UITableViewCell> LibaoViewController::cellForRowAtIndexPath(
    UITableView& tableView, const NSIndexPath& indexPath) {
  auto cell = tableView.dequeueReusableCellWithIdentifier("cell");
  if (!cell) cell = UITableViewCell::create(UITableViewCellStyleDefault, "cell");
  cell->setBackgroundColor(UIColor::clearColor());
  auto label = cell->textLabel();
  label->setTextAlignment(NSTextAlignmentCenter);
  const Value& item = gameAry_[static_cast<size_t>(indexPath.row)];
  if (indexPath.row == 0) {
    label->setText(item["gamename"].str());
    label->setFont(UIFont::systemFontOfSize(15));
    label->setTextColor(UIColor::blackColor());
  } else {
    label->setText(item["plat_gamename"].str());
    label->setFont(UIFont::systemFontOfSize(13));
    label->setTextColor(UIColor::rgb(47, 128, 197));
  }
  return cell;
}

void LibaoViewController::didSelectRowAtIndexPath(UITableView& tableView,
                                                  const NSIndexPath& indexPath) {
  tableView.deselectRowAtIndexPath(indexPath, true);
  if (indexPath.row <= 0) return;
  const Value& item = gameAry_[static_cast<size_t>(indexPath.row)];
  openGiftLink(item["data"]["tb_url"].str());
}
