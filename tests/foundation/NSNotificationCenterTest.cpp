#include <gtest/gtest.h>

#include "platform/foundation/NSNotificationCenter.h"

namespace {
struct Observer {
  std::vector<std::string> got;
};
}  // namespace

class NSNotificationCenterTest : public ::testing::Test {
 protected:
  NSNotificationCenter& center = NSNotificationCenter::defaultCenter();
  void TearDown() override { center.removeAllObservers(); }
};

TEST_F(NSNotificationCenterTest, ObserversAreCalledSynchronouslyInRegistrationOrder) {
  auto a = std::make_shared<Observer>(), b = std::make_shared<Observer>();
  std::vector<std::string> order;
  center.addObserver(a, "UIKeyboardWillShowNotification",
                     [&](const Value& info) { order.push_back("a" + info["height"].str()); });
  center.addObserver(b, "UIKeyboardWillShowNotification",
                     [&](const Value&) { order.push_back("b"); });
  center.addObserver(b, "", [&](const Value&) { order.push_back("b-all"); });
  center.postNotificationName("UIKeyboardWillShowNotification", Value::dict({{"height", 216}}));
  EXPECT_EQ(order, (std::vector<std::string>{"a216", "b", "b-all"}));
  center.postNotificationName("Other");
  EXPECT_EQ(order.back(), "b-all");
  EXPECT_EQ(order.size(), 4u);
}

TEST_F(NSNotificationCenterTest,
       RemovalByObserverNameTokenAnEarlierObserverOrTheObserversEndStopsDelivery) {
  auto observer = std::make_shared<Observer>();
  int a = 0, b = 0, c = 0;
  center.addObserver(observer, "a", [&](const Value&) { ++a; });
  center.addObserver(observer, "b", [&](const Value&) { ++b; });
  auto token = center.addObserverForName("c", [&](const Value&) { ++c; });
  center.removeObserver(observer.get(), "a");
  center.postNotificationName("a");
  center.postNotificationName("b");
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 1);
  center.removeObserver(observer.get());
  center.postNotificationName("b");
  EXPECT_EQ(b, 1);
  center.postNotificationName("c");
  center.removeObserverWithToken(token);
  center.postNotificationName("c");
  EXPECT_EQ(c, 1);
  // An observer removed by an earlier one during delivery, or gone, is never called.
  auto second = std::make_shared<Observer>();
  center.addObserver(observer, "b", [&](const Value&) { center.removeObserver(second.get()); });
  center.addObserver(second, "b", [&](const Value&) { ++b; });
  center.postNotificationName("b");
  observer.reset();
  center.addObserver(second, "b", [&](const Value&) { ++b; });
  second.reset();
  center.postNotificationName("b");
  EXPECT_EQ(b, 1);
}

TEST_F(NSNotificationCenterTest, ObserversOfOneSenderSeeOnlyItsNotificationsWithTheSender) {
  auto observer = std::make_shared<Observer>();
  auto field = std::make_shared<NSObject>(), other = std::make_shared<NSObject>();
  std::vector<std::string> got;
  center.addObserver(observer, "Changed", field, [&](const NSNotification& n) {
    got.push_back(n.name + (n.object == field ? " field " : " ? ") + n.userInfo["k"].str());
  });
  center.addObserver(observer, "Changed", nullptr, [&](const NSNotification& n) {
    got.push_back(n.object ? "any sender" : "no sender");
  });
  center.postNotification("Changed", other);
  center.postNotification("Changed", field, Value::dict({{"k", "v"}}));
  center.postNotificationName("Changed");
  EXPECT_EQ(got,
            (std::vector<std::string>{"any sender", "Changed field v", "any sender", "no sender"}));
  // A sender that is gone matches nothing any more, even at the same address.
  got.clear();
  field.reset();
  center.postNotification("Changed", other);
  EXPECT_EQ(got, (std::vector<std::string>{"any sender"}));
}
