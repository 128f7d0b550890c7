#pragma once
// Collection views with a flow layout. reloadData asks the data source and delegate at once
// and places every item's cell as a subview; cells come from classes registered per reuse
// identifier. A tap on a cell (through the automation) selects the item and tells the
// delegate. Data source and delegate are held weakly. Main thread only.
//
// The flow layout (vertical scrolling) fills lines left to right within the section insets.
// A line holding several items spreads the spare width evenly between them (the platform's
// justified lines), except the last line of a section, which keeps the minimum spacing;
// a single item on a line starts at the left inset. Lines are the height of their tallest item
// and minimumLineSpacing apart.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/uikit/NSIndexPath.h"
#include "platform/uikit/UIScrollView.h"

class UICollectionView;
class UICollectionViewFlowLayout;
class UILabel;

class UICollectionViewCell : public UIView {
  TOVIRA_CLASS(UICollectionViewCell)
 public:
  UICollectionViewCell();
  void initWithFrame(CGRect frame) override;
  std::shared_ptr<UIView> contentView() const { return contentView_; }
  const std::string& reuseIdentifier() const { return reuseIdentifier_; }
  bool isSelected() const { return selected_; }
  virtual void setSelected(bool s) { selected_ = s; }
  virtual void prepareForReuse() {}
  void setFrame(CGRect frame) override;
  std::shared_ptr<UICollectionView> collectionView() const;

 private:
  friend class UICollectionView;
  std::shared_ptr<UIView> contentView_;
  std::string reuseIdentifier_;
  bool selected_ = false;
};

class UICollectionViewDataSource {
 public:
  virtual ~UICollectionViewDataSource() = default;
  virtual long numberOfSectionsInCollectionView(UICollectionView&) { return 1; }
  virtual long numberOfItemsInSection(UICollectionView&, long section) = 0;
  virtual std::shared_ptr<UICollectionViewCell> cellForItemAtIndexPath(UICollectionView&,
                                                                       const NSIndexPath&) = 0;
};

// UICollectionViewDelegateFlowLayout methods are here too; a negative size / NaN-free
// "not implemented" answer (width < 0, or optional empty) falls back to the layout's values.
class UICollectionViewDelegate : public virtual UIScrollViewDelegate {
 public:
  virtual bool shouldSelectItemAtIndexPath(UICollectionView&, const NSIndexPath&) { return true; }
  virtual void didSelectItemAtIndexPath(UICollectionView&, const NSIndexPath&) {}
  virtual void didDeselectItemAtIndexPath(UICollectionView&, const NSIndexPath&) {}
  virtual CGSize sizeForItemAtIndexPath(UICollectionView&, UICollectionViewFlowLayout&,
                                        const NSIndexPath&) {
    return CGSize{-1, -1};
  }
  virtual std::optional<UIEdgeInsets> insetForSectionAtIndex(UICollectionView&,
                                                             UICollectionViewFlowLayout&, long) {
    return std::nullopt;
  }
  virtual double minimumLineSpacingForSectionAtIndex(UICollectionView&, UICollectionViewFlowLayout&,
                                                     long) {
    return -1;
  }
  virtual double minimumInteritemSpacingForSectionAtIndex(UICollectionView&,
                                                          UICollectionViewFlowLayout&, long) {
    return -1;
  }
};
using UICollectionViewDelegateFlowLayout = UICollectionViewDelegate;

enum UICollectionViewScrollDirection : long {
  UICollectionViewScrollDirectionVertical = 0,
  UICollectionViewScrollDirectionHorizontal = 1,
};
enum UICollectionViewScrollPosition : unsigned long { UICollectionViewScrollPositionNone = 0 };

class UICollectionViewFlowLayout : public NSObject {
  TOVIRA_CLASS(UICollectionViewFlowLayout)
 public:
  static std::shared_ptr<UICollectionViewFlowLayout> create() {
    return std::make_shared<UICollectionViewFlowLayout>();
  }
  CGSize itemSize{50, 50};
  double minimumLineSpacing = 10;
  double minimumInteritemSpacing = 10;
  UIEdgeInsets sectionInset{};
  UICollectionViewScrollDirection scrollDirection = UICollectionViewScrollDirectionVertical;
  CGSize headerReferenceSize{};
  CGSize footerReferenceSize{};
};

class UICollectionView : public UIScrollView {
  TOVIRA_CLASS(UICollectionView)
 public:
  UICollectionView();
  static std::shared_ptr<UICollectionView> create(
      CGRect frame, std::shared_ptr<UICollectionViewFlowLayout> layout);

  std::shared_ptr<UICollectionViewFlowLayout> collectionViewLayout() const { return layout_; }
  void setCollectionViewLayout(std::shared_ptr<UICollectionViewFlowLayout> l) {
    layout_ = std::move(l);
  }
  std::shared_ptr<UICollectionViewDataSource> dataSource() const { return dataSource_.lock(); }
  void setDataSource(std::weak_ptr<UICollectionViewDataSource> d) { dataSource_ = std::move(d); }
  std::shared_ptr<UICollectionViewDelegate> delegate() const { return cvDelegate_.lock(); }
  void setDelegate(std::weak_ptr<UICollectionViewDelegate> d);
  bool allowsSelection() const { return allowsSelection_; }
  void setAllowsSelection(bool a) { allowsSelection_ = a; }

  // registerClass:forCellWithReuseIdentifier:
  template <class T>
  void registerClass(const std::string& reuseIdentifier) {
    registerCellFactory(reuseIdentifier, [] {
      auto c = std::make_shared<T>();
      c->initWithFrame(CGRectZero);
      return std::static_pointer_cast<UICollectionViewCell>(c);
    });
  }
  void registerCellFactory(const std::string& reuseIdentifier,
                           std::function<std::shared_ptr<UICollectionViewCell>()> make);
  // A pooled cell or a new one of the registered class (nullptr when none is registered).
  std::shared_ptr<UICollectionViewCell> dequeueReusableCellWithReuseIdentifier(
      const std::string& reuseIdentifier, const NSIndexPath& ip);

  void reloadData();
  long numberOfSections() const { return (long)frames_.size(); }
  long numberOfItemsInSection(long section) const;
  std::shared_ptr<UICollectionViewCell> cellForItemAtIndexPath(const NSIndexPath& ip) const;
  std::optional<NSIndexPath> indexPathForCell(const UICollectionViewCell& cell) const;
  CGRect frameForItemAtIndexPath(const NSIndexPath& ip) const;  // layoutAttributes' frame
  std::vector<std::shared_ptr<UICollectionViewCell>> visibleCells() const;
  std::vector<NSIndexPath> indexPathsForSelectedItems() const;
  void selectItemAtIndexPath(const NSIndexPath& ip, bool animated,
                             UICollectionViewScrollPosition pos);
  void deselectItemAtIndexPath(const NSIndexPath& ip, bool animated);
  // A person tapped the item: shouldSelect, then select and didSelect.
  void userSelectItem(const NSIndexPath& ip);

 private:
  std::shared_ptr<UICollectionViewFlowLayout> layout_;
  std::weak_ptr<UICollectionViewDataSource> dataSource_;
  std::weak_ptr<UICollectionViewDelegate> cvDelegate_;
  std::map<std::string, std::function<std::shared_ptr<UICollectionViewCell>()>> factories_;
  std::map<std::string, std::vector<std::shared_ptr<UICollectionViewCell>>> reusePool_;
  std::vector<std::vector<CGRect>> frames_;
  std::map<NSIndexPath, std::shared_ptr<UICollectionViewCell>> cells_;
  std::vector<NSIndexPath> selected_;
  bool allowsSelection_ = true;
};
