#include <fstream>
#include <iterator>

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

namespace {
std::vector<uint8_t> nibFile(const std::string& name) {
  std::ifstream in(std::string(TOVIRA_RESOURCES) + "/../fuzz/corpus/keyed_unarchiver/" + name,
                   std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// The views under root, and the bytes of text they hold.
std::pair<size_t, size_t> viewsAndText(const std::shared_ptr<NSObject>& object) {
  auto root = std::dynamic_pointer_cast<UIView>(object);
  if (!root) return {0, 0};
  size_t text = 0;
  for (const auto& view : root->subviews())
    if (auto textView = std::dynamic_pointer_cast<UITextView>(view))
      text += textView->text().size();
  return {root->subviews().size(), text};
}
}  // namespace

TEST_F(InterfaceArchiveTest, TextSharedByManyObjectsIsBudgetedAcrossTheObjectsMade) {
  constexpr size_t kBudget = size_t{32} << 20;
  // 19,999 text views sharing one 16 KB text would copy 320 MB.
  const auto big = viewsAndText(NSKeyedUnarchiver::instantiateObjectWithData(
      nibFile("nib-19999-textviews-sharing-16KB-text.bplist")));
  EXPECT_LE(big.second, kBudget);
  auto nested = std::dynamic_pointer_cast<UIView>(
      NSKeyedUnarchiver::instantiateObjectWithData(nibFile("nib-views-nested-200.bplist")));
  ASSERT_NE(nested, nullptr);

  // Within the archive's own budget but past the session's: 2,000 views, each handed a 20 KB
  // field (40 MB), of which the first 32 MB are made.
  const Value view = Value::dict({{"$classname", "UIView"}, {"note", std::string(20 * 1024, 't')}});
  const auto made = viewsAndText(make(
      Value::dict({{"$classname", "UIView"}, {"UISubviews", Value(Value::Array(2000, view))}})));
  EXPECT_GT(made.first, 1000u);
  EXPECT_LT(made.first, 2000u);
}
