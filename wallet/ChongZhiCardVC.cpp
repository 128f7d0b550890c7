#include "wallet/ChongZhiCardVC.h"

#include "platform/foundation/NSString.h"
#include "platform/foundation/NSURL.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIFont.h"
#include "platform/uikit/UIImage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "wallet/WalletStyle.h"

TOVIRA_REGISTER_CLASS(ChongZhiCardVC, UIViewController)

namespace {
const char* const kCellIdentifier = "UICollectionViewCell";
const char* const kCardImages[] = {
    "ktr_taobao_100.jpg",  "ktr_taobao_200.jpg",  "ktr_taobao_300.jpg",  "ktr_taobao_500.jpg",
    "ktr_taobao_1000.jpg", "ktr_taobao_2000.jpg", "ktr_taobao_3000.jpg", "ktr_taobao_5000.jpg"};
}  // namespace

const std::vector<std::string>& ChongZhiCardVC::cardLinks() {
  static const std::vector<std::string> links = {
      "//item.tovira-shop.example/item.htm?spm=tv.card.0.100&id=520100001",
      "//item.tovira-shop.example/item.htm?spm=tv.card.1.200&id=520100002",
      "//item.tovira-shop.example/item.htm?spm=tv.card.2.300&id=520100003",
      "//item.tovira-shop.example/item.htm?spm=tv.card.3.500&id=520100004",
      "//item.tovira-shop.example/item.htm?spm=tv.card.4.1000&id=520100005",
      "//item.tovira-shop.example/item.htm?spm=tv.card.5.2000&id=520100006",
      "//item.tovira-shop.example/item.htm?spm=tv.card.6.3000&id=520100007",
      "//item.tovira-shop.example/item.htm?spm=tv.card.7.5000&id=520100008",
  };
  return links;
}

void ChongZhiCardVC::viewDidLoad() {
  auto self = sharedSelf<ChongZhiCardVC>();
  auto root = view();
  const double W = root->frame().size.width;
  root->setBackgroundColor(WalletStyle::lightGrey());

  std::weak_ptr<ChongZhiCardVC> weak = self;
  auto bar = WalletStyle::topBar(*root, "金币充值卡", [weak] {
    if (auto page = weak.lock()) page->back();
  });
  topview = bar.view;
  backlabel = bar.backlabel;

  collectionViewFlowLayout = UICollectionViewFlowLayout::create();
  collectionViewFlowLayout->scrollDirection = UICollectionViewScrollDirectionVertical;
  collectionView = UICollectionView::create(CGRectMake(0, 66, W, root->frame().size.height - 66),
                                            collectionViewFlowLayout);
  collectionView->setBackgroundColor(UIColor::clearColor());
  collectionView->setDelegate(std::static_pointer_cast<UICollectionViewDelegate>(self));
  collectionView->setDataSource(std::static_pointer_cast<UICollectionViewDataSource>(self));
  collectionView->registerClass<UICollectionViewCell>(kCellIdentifier);
  root->addSubview(collectionView);

  for (const char* name : kCardImages) imgArr_.push_back(UIImage::imageNamed(name));
  linkArr_ = cardLinks();
  collectionView->reloadData();
}

CGSize ChongZhiCardVC::sizeForItemAtIndexPath(UICollectionView&, UICollectionViewFlowLayout&,
                                              const NSIndexPath&) {
  const double width = (view()->frame().size.width - 20) / 2;
  return CGSizeMake(width, width * 396 / 326);
}

std::optional<UIEdgeInsets> ChongZhiCardVC::insetForSectionAtIndex(UICollectionView&,
                                                                   UICollectionViewFlowLayout&,
                                                                   long) {
  return UIEdgeInsetsMake(5, 5, 5, 5);
}

std::shared_ptr<UICollectionViewCell> ChongZhiCardVC::cellForItemAtIndexPath(
    UICollectionView& view, const NSIndexPath& indexPath) {
  auto cell = view.dequeueReusableCellWithReuseIdentifier(kCellIdentifier, indexPath);
  if (!cell) return nullptr;
  auto image =
      UIImageView::create(CGRectMake(0, 0, cell->frame().size.width, cell->frame().size.height));
  if (cell->frame().size.width <= 0) {
    const CGSize size = sizeForItemAtIndexPath(view, *collectionViewFlowLayout, indexPath);
    image->setFrame(CGRectMake(0, 0, size.width, size.height));
  }
  const size_t row = static_cast<size_t>(indexPath.item());
  if (row < imgArr_.size()) image->setImage(imgArr_[row]);
  cell->addSubview(image);
  return cell;
}

void ChongZhiCardVC::didSelectItemAtIndexPath(UICollectionView&, const NSIndexPath& indexPath) {
  const size_t row = static_cast<size_t>(indexPath.item());
  if (row >= linkArr_.size()) return;
  const std::string& link = linkArr_[row];
  auto app = UIApplication::sharedApplication();
  auto inApp = NSURL::URLWithString(NSString::stringWithFormat("taobao:%@", link));
  if (inApp && app->canOpenURL(inApp)) {
    app->openURL(inApp);
  } else {
    app->openURL(NSURL::URLWithString(NSString::stringWithFormat("https:%@", link)));
  }
}

void ChongZhiCardVC::back() { dismissViewControllerAnimated(true); }
