#include "UIKitFixture.h"
#include "platform/foundation/NSKeyedArchiver.h"
#include "platform/foundation/NSKeyedUnarchiver.h"

namespace {
// Records, when it wakes, whether it already sits in its superview and how many siblings the
// tree gave it.
class WakeProbe : public UIView {
  TOVIRA_CLASS(WakeProbe)
 public:
  void awakeFromNib() override {
    UIView::awakeFromNib();
    ++wakes;
    siblingsAtWake = superview() ? static_cast<int>(superview()->subviews().size()) : -1;
  }
  int wakes = 0;
  int siblingsAtWake = -1;
};
}  // namespace
TOVIRA_REGISTER_CLASS(WakeProbe, UIView)

class InterfaceArchiveTest : public UIKitFixture {
 protected:
  static std::shared_ptr<NSObject> make(const Value& tree) {
    return NSKeyedUnarchiver::instantiateObjectWithData(
        NSKeyedArchiver::archivedDataWithRootObject(tree));
  }
};

TEST_F(InterfaceArchiveTest, AnArchivedViewTreeIsMadeWithItsClassesAndWakesOnceItIsWhole) {
  auto root = std::dynamic_pointer_cast<UIView>(make(Value::dict(
      {{"$classname", "UIView"},
       {"UIFrame", "{{0, 20}, {320, 460}}"},
       {"UITag", 3},
       {"UISubviews", Value::array({Value::dict({{"$classname", "WakeProbe"},
                                                 {"UIHidden", Value::boolean(true)}}),
                                    Value::dict({{"$classname", "NoSuchView"}, {"UITag", 9}}),
                                    Value::dict({{"$classname", "UITextView"},
                                                 {"UIFrame", "{{10, 10}, {300, 100}}"},
                                                 {"UIAlpha", 0.5},
                                                 {"UIText", "多行"}})})}})));
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->frame(), CGRectMake(0, 20, 320, 460));
  EXPECT_EQ(root->tag(), 3);
  // The unknown class is left out; the others keep their order and fields.
  auto views = root->subviews();
  ASSERT_EQ(views.size(), 2u);
  auto probe = std::dynamic_pointer_cast<WakeProbe>(views[0]);
  ASSERT_NE(probe, nullptr);
  EXPECT_TRUE(probe->isHidden());
  EXPECT_EQ(probe->alpha(), 1.0);
  EXPECT_EQ(probe->wakes, 1);
  EXPECT_EQ(probe->siblingsAtWake, 2);  // woken after the whole tree was made
  auto textView = std::dynamic_pointer_cast<UITextView>(views[1]);
  ASSERT_NE(textView, nullptr);
  EXPECT_EQ(textView->text(), "多行");
  EXPECT_EQ(textView->alpha(), 0.5);
  EXPECT_EQ(textView->frame(), CGRectMake(10, 10, 300, 100));
}

TEST_F(InterfaceArchiveTest, ArchivesThatHoldNoObjectToMakeGiveNil) {
  EXPECT_EQ(NSKeyedUnarchiver::instantiateObjectWithData({}), nullptr);
  EXPECT_EQ(NSKeyedUnarchiver::instantiateObjectWithData(
                Value::Data{'b', 'p', 'l', 'i', 's', 't', '0', '0', 1, 2, 3}),
            nullptr);
  EXPECT_EQ(make(Value::dict({{"$classname", "NoSuchView"}})), nullptr);
  EXPECT_EQ(make(Value::dict({{"UIFrame", "{{0, 0}, {1, 1}}"}})), nullptr);  // a dictionary
  EXPECT_EQ(make(Value("UIView")), nullptr);
  // A class that cannot be made bare (no default constructor) is no object either.
  EXPECT_EQ(make(Value::dict({{"$classname", "UIApplication"}})), nullptr);

  // A tree nested past any interface's depth is cut off there rather than exhausting the stack.
  Value deep = Value::dict({{"$classname", "UIView"}});
  for (int i = 0; i < 300; ++i)
    deep = Value::dict({{"$classname", "UIView"}, {"UISubviews", Value::array({deep})}});
  auto top = std::dynamic_pointer_cast<UIView>(make(deep));
  ASSERT_NE(top, nullptr);
  int depth = 0;
  for (auto v = top; !v->subviews().empty(); v = v->subviews()[0]) ++depth;
  EXPECT_GT(depth, 50);
  EXPECT_LT(depth, 300);
}

TEST_F(InterfaceArchiveTest, AnObjectOfAnotherClassIsArchivedBackAsTheObjectItWas) {
  const Value object = Value::dict({{"$classname", "UIView"}, {"UITag", 5}});
  auto data = NSKeyedArchiver::archivedDataWithRootObject(object);
  EXPECT_EQ(NSKeyedUnarchiver::unarchiveObjectWithData(data), std::optional<Value>(object));
  // A dictionary that only names a value class stays a dictionary.
  const Value named = Value::dict({{"$classname", "NSString"}, {"k", "v"}});
  EXPECT_EQ(NSKeyedUnarchiver::unarchiveObjectWithData(
                NSKeyedArchiver::archivedDataWithRootObject(named)),
            std::optional<Value>(named));
}
