#include <gtest/gtest.h>

#include "platform/foundation/NSObject.h"

namespace {

class TestView : public NSObject {
  TOVIRA_CLASS(TestView)
  int tag = 0;
};

class TestButton : public TestView {
  TOVIRA_CLASS(TestButton)
  static std::shared_ptr<TestButton> create() {
    auto b = std::shared_ptr<TestButton>(new TestButton());
    b->tag = 5;
    return b;
  }

 private:
  TestButton() = default;
};

class TestAbstract : public NSObject {
  TOVIRA_CLASS(TestAbstract)
  virtual void f() = 0;
};

}  // namespace

TOVIRA_REGISTER_CLASS(TestView, NSObject)
TOVIRA_REGISTER_CLASS(TestButton, TestView)
TOVIRA_REGISTER_CLASS(TestAbstract, NSObject)

TEST(NSObject, KindOfTestsFollowTheRegistryWhichCreatesClassesByNameAndSurvivesMistakes) {
  auto button = TestButton::create();
  EXPECT_EQ(button->className(), "TestButton");
  EXPECT_TRUE(button->isKindOfClass("TestButton"));
  EXPECT_TRUE(button->isKindOfClass("TestView"));
  EXPECT_TRUE(button->isKindOfClass("NSObject"));
  EXPECT_FALSE(button->isKindOfClass("TestAbstract"));
  EXPECT_TRUE(button->isMemberOfClass("TestButton"));
  EXPECT_FALSE(button->isMemberOfClass("TestView"));
  EXPECT_EQ(ClassRegistry::superclassName("TestButton"), "TestView");
  auto made = ClassRegistry::create("TestButton");
  ASSERT_TRUE(made);
  EXPECT_EQ(std::static_pointer_cast<TestButton>(made)->tag, 5);
  EXPECT_EQ(ClassRegistry::create("TestView")->className(), "TestView");
  EXPECT_FALSE(ClassRegistry::create("TestAbstract"));
  EXPECT_TRUE(ClassRegistry::exists("TestAbstract"));
  EXPECT_FALSE(ClassRegistry::create("NoSuchController"));
  // Repeated registration is harmless, and a cycle of mistaken ones does not hang.
  TOVIRA_DECLARE_REGISTRATION(TestView);
  toviraRegisterClass_TestView();
  toviraRegisterClass_TestView();
  EXPECT_TRUE(ClassRegistry::isSubclass("TestButton", "NSObject"));
  ClassRegistry::registerClass("CycleA", "CycleB", nullptr);
  ClassRegistry::registerClass("CycleB", "CycleA", nullptr);
  EXPECT_FALSE(ClassRegistry::isSubclass("CycleA", "Other"));
}

TEST(NSObject, AssociatedObjectsLiveAsLongAsTheObjectOrUntilReplaced) {
  std::weak_ptr<int> watch;
  {
    auto view = std::make_shared<TestView>();
    auto value = std::make_shared<int>(3);
    watch = value;
    view->setAssociatedObject("keyboardToolbar", value);
    value.reset();
    EXPECT_EQ(*view->associatedObjectAs<int>("keyboardToolbar"), 3);
    EXPECT_FALSE(view->associatedObject("other"));
    EXPECT_FALSE(watch.expired());
  }
  EXPECT_TRUE(watch.expired());
  auto view = std::make_shared<TestView>();
  view->setAssociatedObject("k", std::make_shared<int>(1));
  view->setAssociatedObject("k", nullptr);
  EXPECT_FALSE(view->associatedObject("k"));
  EXPECT_NE(view->description().find("<TestView: 0x"), std::string::npos);
}
