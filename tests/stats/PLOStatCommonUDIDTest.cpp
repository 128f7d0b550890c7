#include <regex>

#include "parley/stats/PLOStatCommonUDID.h"
#include "platform/foundation/NSKeyedArchiver.h"
#include "stats/StatTestFixture.h"

namespace {
class PLOStatCommonUDIDTest : public StatTestFixture {
 protected:
  // A slot as another app on the device left it.
  static void putSlot(int n, const std::string& identifier, const std::string& appUID) {
    auto slot = UIPasteboard::pasteboardWithName("org.CommonUDID.slot." + std::to_string(n), true);
    slot->setPersistent(true);
    PLOStatCommonUDID::_setDict(
        Value::dict({{"CommonUDID", identifier}, {"CommonUDID_appUID", appUID}}), slot);
  }

  static std::vector<std::string> usedSlots() {
    std::vector<std::string> used;
    for (int n = 0; n < 100; ++n) {
      std::string name = "org.CommonUDID.slot." + std::to_string(n);
      auto slot = UIPasteboard::pasteboardWithName(name, false);
      if (slot && PLOStatCommonUDID::_getDictFromPasteboard(slot).contains("CommonUDID"))
        used.push_back(name);
    }
    return used;
  }

  // The app quits and is launched again: memory goes, defaults and persistent pasteboards stay.
  static void relaunch() {
    SimulatedDevice::shared().restartApp();
    NSUserDefaults::resetStandardUserDefaults();
    PLOStatCommonUDID::resetForTesting();
  }

  static std::string aId(char c) { return std::string(40, c); }
};
}  // namespace

TEST_F(PLOStatCommonUDIDTest, AFreshIdentifierIsFortyLowerCaseHexDigitsAndKeptInASlot) {
  PLOStatCommonUDID::Error error;
  std::string value = PLOStatCommonUDID::valueWithError(&error);
  EXPECT_TRUE(std::regex_match(value, std::regex("[0-9a-f]{40}"))) << value;
  EXPECT_EQ(error.code, 0);
  EXPECT_EQ(error.description, "CommonUDID succesfully retrieved");
  EXPECT_EQ(usedSlots(), std::vector<std::string>{"org.CommonUDID.slot.0"});
  Value local = NSUserDefaults::standardUserDefaults().objectForKey("CommonUDID");
  EXPECT_EQ(local["CommonUDID"].str(), value);
  EXPECT_EQ(local["CommonUDID_slot"].str(), "org.CommonUDID.slot.0");

  EXPECT_EQ(PLOStatCommonUDID::valueWithError(&error), value);
  EXPECT_EQ(error.description, "CommonUDID in cache from first call");
}

TEST_F(PLOStatCommonUDIDTest, AFirstLaunchAdoptsTheIdentifierAnotherAppKeptInASlot) {
  putSlot(0, aId('b'), "OTHER-APP-1");
  putSlot(1, aId('a'), "OTHER-APP-2");
  putSlot(2, aId('a'), "OTHER-APP-3");
  EXPECT_EQ(PLOStatCommonUDID::value(), aId('a'));
  EXPECT_EQ(usedSlots().size(), 4u);
  auto own = UIPasteboard::pasteboardWithName("org.CommonUDID.slot.3", false);
  ASSERT_TRUE(own);
  EXPECT_TRUE(own->isPersistent());
  EXPECT_EQ(PLOStatCommonUDID::_getDictFromPasteboard(own)["CommonUDID"].str(), aId('a'));
}

TEST_F(PLOStatCommonUDIDTest, ARelaunchReusesTheAppsOwnSlotInsteadOfTakingANewOne) {
  std::string first = PLOStatCommonUDID::value();
  for (int launch = 0; launch < 3; ++launch) {
    relaunch();
    EXPECT_EQ(PLOStatCommonUDID::value(), first);
  }
  EXPECT_EQ(usedSlots(), std::vector<std::string>{"org.CommonUDID.slot.0"});
}

TEST_F(PLOStatCommonUDIDTest, ACopyThatDisagreesWithTheOthersIsReportedButKept) {
  std::string mine = PLOStatCommonUDID::value();
  putSlot(1, aId('c'), "OTHER-APP-1");
  putSlot(2, aId('c'), "OTHER-APP-2");
  relaunch();
  PLOStatCommonUDID::Error error;
  EXPECT_EQ(PLOStatCommonUDID::valueWithError(&error), mine);
  EXPECT_EQ(error.code, 2);
}

TEST_F(PLOStatCommonUDIDTest, AnOptedOutAppReportsFortyZerosAcrossLaunchesUntilItOptsIn) {
  std::string value = PLOStatCommonUDID::value();
  PLOStatCommonUDID::setOptOut(true);
  PLOStatCommonUDID::Error error;
  EXPECT_EQ(PLOStatCommonUDID::valueWithError(&error), std::string(40, '0'));
  EXPECT_EQ(error.code, 1);
  EXPECT_NE(error.description.find("is opted-out from CommonUDID as of"), std::string::npos);

  relaunch();
  EXPECT_EQ(PLOStatCommonUDID::value(), std::string(40, '0'));
  PLOStatCommonUDID::setOptOut(false);
  EXPECT_EQ(PLOStatCommonUDID::value(), value);
}

TEST_F(PLOStatCommonUDIDTest, ASlotThatCannotBeReadCountsAsFree) {
  auto slot = UIPasteboard::pasteboardWithName("org.CommonUDID.slot.0", true);
  slot->setData({1, 2, 3}, "org.CommonUDID");
  EXPECT_EQ(PLOStatCommonUDID::_getDictFromPasteboard(slot), Value::dict());
  PLOStatCommonUDID::value();
  EXPECT_EQ(usedSlots(), std::vector<std::string>{"org.CommonUDID.slot.0"});
}

TEST_F(PLOStatCommonUDIDTest, TimeStampsAreDatesThatSurviveARelaunchAndNameTheOptOutMoment) {
  PLOStatCommonUDID::value();
  PLOStatCommonUDID::setOptOut(true);
  relaunch();  // the defaults are read back from their file
  const Value local = NSUserDefaults::standardUserDefaults().objectForKey("CommonUDID");
  EXPECT_TRUE(local["CommonUDID_createdTS"].isDate()) << local.description();
  ASSERT_TRUE(local["CommonUDID_optOutTS"].isDate()) << local.description();
  PLOStatCommonUDID::Error error;
  PLOStatCommonUDID::valueWithError(&error);
  EXPECT_TRUE(std::regex_match(
      error.description,
      std::regex("Application with unique id .+ is opted-out from CommonUDID as of "
                 "[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} \\+0000")))
      << error.description;
  EXPECT_NE(error.description.find(local["CommonUDID_optOutTS"].description()), std::string::npos);
}

TEST_F(PLOStatCommonUDIDTest, AnOlderRecordHoldingSecondsStillReadsAsItsDate) {
  NSUserDefaults::standardUserDefaults().setObject(
      Value::dict({{"CommonUDID", aId('d')},
                   {"CommonUDID_appUID", "APP-1"},
                   {"CommonUDID_createdTS", 1796000000},
                   {"CommonUDID_optOutTS", 1796623111.5}}),
      "CommonUDID");
  NSUserDefaults::standardUserDefaults().setObject("APP-1", "CommonUDID_appUID");
  PLOStatCommonUDID::Error error;
  EXPECT_EQ(PLOStatCommonUDID::valueWithError(&error), std::string(40, '0'));
  EXPECT_EQ(error.description,
            "Application with unique id APP-1 is opted-out from CommonUDID as of 2026-12-07 "
            "05:58:31 +0000");
  PLOStatCommonUDID::setOptOut(false);
  EXPECT_EQ(PLOStatCommonUDID::value(), aId('d'));
}

TEST_F(PLOStatCommonUDIDTest, SlotDatesComeBackAsDates) {
  // The app's own slot, written at its first launch.
  PLOStatCommonUDID::value();
  const Value own = PLOStatCommonUDID::_getDictFromPasteboard(
      UIPasteboard::pasteboardWithName("org.CommonUDID.slot.0", false));
  EXPECT_TRUE(own["CommonUDID_createdTS"].isDate()) << own.description();
  EXPECT_EQ(own["CommonUDID_createdTS"], NSUserDefaults::standardUserDefaults().objectForKey(
                                             "CommonUDID")["CommonUDID_createdTS"]);

  // Other apps' slots: dates of any year come back exactly; a number an older app wrote reads as
  // its date.
  const struct {
    Value stamp;
    double seconds;
  } stamps[] = {{Value::date(-3187209600.5), -3187209600.5},  // 1869
                {Value::date(7258118400.25), 7258118400.25},  // 2200
                {Value::date(978307199.5), 978307199.5},      // the last second before 2001
                {Value(1796623111.5), 1796623111.5}};
  int n = 1;
  for (const auto& s : stamps) {
    auto slot = UIPasteboard::pasteboardWithName("org.CommonUDID.slot." + std::to_string(n), true);
    PLOStatCommonUDID::_setDict(Value::dict({{"CommonUDID", aId('e')},
                                             {"CommonUDID_appUID", "OTHER-" + std::to_string(n)},
                                             {"CommonUDID_createdTS", s.stamp},
                                             {"CommonUDID_optOutTS", s.stamp}}),
                                slot);
    const Value read = PLOStatCommonUDID::_getDictFromPasteboard(slot);
    for (const char* key : {"CommonUDID_createdTS", "CommonUDID_optOutTS"}) {
      EXPECT_TRUE(read[key].isDate()) << n << key;
      EXPECT_EQ(read[key].dateValue(), s.seconds) << n << key;
    }
    ++n;
  }
}
