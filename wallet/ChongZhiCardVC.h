#pragma once
// The card link grid ("金币充值卡"): the eight recharge-card denominations as pictures, two to a
// row. Tapping one opens that card's item page in the shop app ("taobao:" + link) when the
// device can open it, and in the browser ("https:" + link) otherwise. Presented modally by the
// shop tab; "返回" and the back button dismiss it. Main thread only.

#include <memory>
#include <string>
#include <vector>

#include "platform/uikit/UICollectionView.h"
#include "platform/uikit/UIViewController.h"

class UIImage;
class UILabel;

class ChongZhiCardVC : public UIViewController,
                       public UICollectionViewDataSource,
                       public UICollectionViewDelegate {
  TOVIRA_CLASS(ChongZhiCardVC)
 public:
  static std::shared_ptr<ChongZhiCardVC> create() { return std::make_shared<ChongZhiCardVC>(); }

  void viewDidLoad() override;

  long numberOfSectionsInCollectionView(UICollectionView&) override { return 1; }
  long numberOfItemsInSection(UICollectionView&, long) override { return 8; }
  std::shared_ptr<UICollectionViewCell> cellForItemAtIndexPath(
      UICollectionView& view, const NSIndexPath& indexPath) override;
  void didSelectItemAtIndexPath(UICollectionView& view, const NSIndexPath& indexPath) override;
  CGSize sizeForItemAtIndexPath(UICollectionView& view, UICollectionViewFlowLayout& layout,
                                const NSIndexPath& indexPath) override;
  std::optional<UIEdgeInsets> insetForSectionAtIndex(UICollectionView& view,
                                                     UICollectionViewFlowLayout& layout,
                                                     long section) override;
  void back();

  // The protocol-relative item-page links of the eight cards, in grid order (configuration
  // of the deployment).
  static const std::vector<std::string>& cardLinks();

  std::shared_ptr<UIView> topview;
  std::shared_ptr<UILabel> backlabel;
  std::shared_ptr<UICollectionViewFlowLayout> collectionViewFlowLayout;
  std::shared_ptr<UICollectionView> collectionView;

 private:
  std::vector<std::shared_ptr<UIImage>> imgArr_;
  std::vector<std::string> linkArr_;
};
