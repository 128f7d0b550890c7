#include "keyboard/KBTitleBarButtonItem.h"
#include "keyboard/KeyboardFixture.h"

class KBAutomaticToolbarTest : public KeyboardFixture {
 protected:
  void press(const std::shared_ptr<UIView>& v, size_t index) {
    barOf(v)->items()[index]->sendAction();
    pump();
  }
};

TEST_F(KBAutomaticToolbarTest, AFormOfThreeFieldsGetsBarsWithPreviousAndNextEnabledByPlace) {
  auto vc = form(
      {CGRectMake(20, 100, 280, 30), CGRectMake(20, 140, 280, 30), CGRectMake(20, 180, 280, 30)});
  fields[1]->setPlaceholder("卡号");
  show(vc);
  focus(fields[1]);
  for (auto& f : fields) EXPECT_EQ(barOf(f) ? barOf(f)->tag() : 0, -1005);
  EXPECT_EQ(itemsOf(fields[0]), "<- _23 > []- ~ Done");
  EXPECT_EQ(itemsOf(fields[1]), "< _23 > [卡号]- ~ Done");
  EXPECT_EQ(itemsOf(fields[2]), "< _23 >- []- ~ Done");
}

TEST_F(KBAutomaticToolbarTest, TheBarsButtonsMoveTheFocusAndDoneClosesTheKeyboard) {
  show(form({CGRectMake(20, 100, 280, 30), CGRectMake(20, 140, 280, 30)}));
  focus(fields[0]);
  press(fields[0], 2);
  EXPECT_TRUE(fields[1]->isFirstResponder());
  press(fields[1], 2);  // next on the last field: disabled, nothing happens
  EXPECT_TRUE(fields[1]->isFirstResponder());
  press(fields[1], 0);
  EXPECT_TRUE(fields[0]->isFirstResponder());
  press(fields[0], 5);
  EXPECT_EQ(UIResponder::currentFirstResponder(), nullptr);
  EXPECT_FALSE(UIKeyboard::shared().isVisible());
}

namespace {
class Stubborn : public UITextFieldDelegate {
 public:
  bool textFieldShouldBeginEditing(UITextField&) override { return allowBegin; }
  bool textFieldShouldEndEditing(UITextField&) override { return allowEnd; }
  bool allowBegin = true, allowEnd = true;
};
}  // namespace

TEST_F(KBAutomaticToolbarTest, CustomActionsRunAfterTheMoveAndNeverWhenItFailed) {
  show(form({CGRectMake(20, 100, 280, 30), CGRectMake(20, 140, 280, 30)}));
  auto target = std::make_shared<int>(0);
  std::vector<std::string> log;
  setCustomNextTarget(
      fields[0], target, [&](const std::shared_ptr<void>&, const std::shared_ptr<UIView>&) {
        log.push_back(fields[1]->isFirstResponder() ? "next after move" : "next before move");
      });
  setCustomDoneTarget(
      fields[1], target,
      [&](const std::shared_ptr<void>&, const std::shared_ptr<UIView>&) { log.push_back("done"); });
  auto stubborn = std::make_shared<Stubborn>();
  fields[1]->setDelegate(stubborn);
  focus(fields[0]);
  stubborn->allowBegin = false;
  press(fields[0], 2);  // the next field refuses: the focus stays, no custom action
  EXPECT_TRUE(fields[0]->isFirstResponder());
  EXPECT_TRUE(log.empty());
  stubborn->allowBegin = true;
  press(fields[0], 2);
  EXPECT_EQ(log, std::vector<std::string>{"next after move"});
  stubborn->allowEnd = false;
  press(fields[1], 5);  // refuses to resign: the keyboard stays up, no custom done
  EXPECT_TRUE(fields[1]->isFirstResponder());
  EXPECT_TRUE(UIKeyboard::shared().isVisible());
  stubborn->allowEnd = true;
  press(fields[1], 5);
  EXPECT_EQ(log.back(), "done");
}

TEST_F(KBAutomaticToolbarTest, LoneFieldsShareOneDoneBarAndItBecomesAChainBarWhenTheyHaveCompany) {
  auto first = form({CGRectMake(20, 100, 280, 30)});
  auto lone = fields[0];
  show(first);
  focus(lone);
  auto bar = barOf(lone);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->tag(), -1002);
  EXPECT_EQ(itemsOf(lone), "[]- ~ Done");
  dismiss();

  show(form({CGRectMake(20, 300, 280, 30)}));
  focus(fields[0]);
  EXPECT_EQ(barOf(fields[0]), bar);  // the very same bar object
  dismiss();

  // The first screen's field gains a neighbour: it now gets a Previous/Next/Done bar.
  auto neighbour = UITextField::create(CGRectMake(20, 140, 280, 30));
  first->view()->addSubview(neighbour);
  show(first);
  focus(lone);
  EXPECT_EQ(barOf(lone)->tag(), -1005);
  EXPECT_EQ(itemsOf(lone), "<- _23 > []- ~ Done");
}

TEST_F(KBAutomaticToolbarTest, AFieldWithItsOwnAccessoryViewIsLeftAlone) {
  auto vc = form({CGRectMake(20, 100, 280, 30), CGRectMake(20, 140, 280, 30)});
  auto own = UIView::create(CGRectMake(0, 0, 320, 30));
  fields[1]->setInputAccessoryView(own);
  show(vc);
  focus(fields[1]);
  EXPECT_EQ(fields[1]->inputAccessoryView(), own);
  ASSERT_NE(barOf(fields[0]), nullptr);
  manager->setEnableAutoToolbar(false);
  EXPECT_EQ(fields[1]->inputAccessoryView(), own);
  EXPECT_EQ(fields[0]->inputAccessoryView(), nullptr);
}

TEST_F(KBAutomaticToolbarTest, SiblingsChainByTagOrByPositionAsTheBehaviourSays) {
  auto vc = form(
      {CGRectMake(20, 200, 280, 30), CGRectMake(20, 100, 280, 30), CGRectMake(20, 150, 280, 30)});
  fields[0]->setTag(3);
  fields[1]->setTag(1);
  fields[2]->setTag(2);
  // A hidden field and a disabled one take no part.
  auto hidden = UITextField::create(CGRectMake(20, 50, 280, 30));
  hidden->setHidden(true);
  auto disabled = UITextField::create(CGRectMake(20, 60, 280, 30));
  disabled->setEnabled(false);
  vc->view()->addSubview(hidden);
  vc->view()->addSubview(disabled);
  show(vc);
  focus(fields[1]);
  using Views = std::vector<std::shared_ptr<UIView>>;
  EXPECT_EQ(manager->responderViews(), (Views{fields[0], fields[1], fields[2]}));
  manager->setToolbarManageBehaviour(1);
  EXPECT_EQ(manager->responderViews(), (Views{fields[1], fields[2], fields[0]}));
  manager->setToolbarManageBehaviour(2);
  fields[2]->setTag(9);
  EXPECT_EQ(manager->responderViews(), (Views{fields[1], fields[2], fields[0]}));
  EXPECT_FALSE(manager->canGoPrevious());
  EXPECT_TRUE(manager->goNext());
  EXPECT_TRUE(fields[2]->isFirstResponder());
  manager->setToolbarManageBehaviour(7);  // no such order: no chain
  EXPECT_TRUE(manager->responderViews().empty());
}

TEST_F(KBAutomaticToolbarTest, FieldsInTableCellsChainAcrossCellsWhateverTheBehaviour) {
  manager->setToolbarManageBehaviour(1);
  auto vc = UIViewController::create();
  auto table = UITableView::create(CGRectMake(0, 20, 320, 400));
  vc->view()->addSubview(table);
  std::vector<std::shared_ptr<UITextField>> cellFields;
  for (int row = 0; row < 3; ++row) {
    auto cell = UIView::create(CGRectMake(0, 44.0 * (2 - row), 320, 44));  // last row on top
    auto field = UITextField::create(CGRectMake(10, 7, 300, 30));
    field->setTag(row);
    cell->addSubview(field);
    table->addSubview(cell);
    cellFields.push_back(field);
  }
  show(vc);
  focus(cellFields[0]);
  using Views = std::vector<std::shared_ptr<UIView>>;
  EXPECT_EQ(manager->responderViews(), (Views{cellFields[2], cellFields[1], cellFields[0]}));
  EXPECT_EQ(itemsOf(cellFields[0]), "< _23 >- []- ~ Done");
}

TEST_F(KBAutomaticToolbarTest, ADarkKeyboardGetsABlackBarWithWhiteButtons) {
  auto vc = form({CGRectMake(20, 100, 280, 30), CGRectMake(20, 140, 280, 30)});
  fields[0]->setKeyboardAppearance(UIKeyboardAppearanceDark);
  show(vc);
  focus(fields[0]);
  EXPECT_EQ(barOf(fields[0])->barStyle(), UIBarStyleBlack);
  EXPECT_TRUE(UIColorEqual(barOf(fields[0])->tintColor(), UIColor::whiteColor()));
  EXPECT_TRUE(UIColorEqual(barOf(fields[0])->items()[5]->tintColor(), UIColor::whiteColor()));
  EXPECT_EQ(barOf(fields[1])->barStyle(), UIBarStyleDefault);
  EXPECT_TRUE(UIColorEqual(barOf(fields[1])->tintColor(), UIColor::blackColor()));
}

TEST_F(KBAutomaticToolbarTest, TitlesFollowThePlaceholderSettingsAndThePlaceholderFont) {
  auto vc = form({CGRectMake(20, 100, 280, 30), CGRectMake(20, 140, 280, 30)});
  fields[0]->setPlaceholder("账号");
  fields[1]->setPlaceholder("密码");
  setShouldHideTitle(fields[1], true);
  auto font = UIFont::systemFontOfSize(15);
  manager->setPlaceholderFont(font);
  show(vc);
  focus(fields[0]);
  EXPECT_EQ(barOf(fields[0])->title(), std::optional<std::string>("账号"));
  EXPECT_EQ(barOf(fields[0])->titleFont(), font);
  auto title = std::dynamic_pointer_cast<KBTitleBarButtonItem>(barOf(fields[0])->items()[3]);
  EXPECT_EQ(title->titleLabel()->font(), font);
  EXPECT_EQ(barOf(fields[1])->title(), std::nullopt);
  manager->setShouldShowTextFieldPlaceholder(false);
  focus(fields[1]);
  focus(fields[0]);
  EXPECT_EQ(barOf(fields[0])->title(), std::nullopt);
}
