#include <gtest/gtest.h>

#include "ParleyTestSupport.h"
#include "parley/AppCommunicate.h"
#include "parley/AppCommunicateData.h"
#include "parley/ParleyApiUtil.h"

namespace {

std::shared_ptr<AppCommunicateData> message(const std::string& title,
                                            std::vector<uint8_t> file = {}) {
  auto data = std::make_shared<AppCommunicateData>();
  data->MakeCommand(PLCommandSendMessageResp);
  Value d = data->propertList();
  auto out = std::make_shared<AppCommunicateData>(d.set("title", Value(title)));
  out->fileData = std::move(file);
  return out;
}

Value rootOf(const std::shared_ptr<UIPasteboard>& pasteboard) {
  return ParleyApiUtil::propertyListFromData(
      pasteboard->dataForPasteboardType("content").value_or(std::vector<uint8_t>{}));
}

}  // namespace

class AppCommunicateTest : public ParleyTest {};

TEST_F(AppCommunicateTest, FromSystem7TheUsersTextTravelsAsOldTextAndAMessageIsReadOnce) {
  auto general = UIPasteboard::generalPasteboard();
  ASSERT_TRUE(AppCommunicate::setAppCommunicateData(message("m1"), kAppId));
  EXPECT_FALSE(rootOf(general).contains("old_text"));
  EXPECT_EQ(rootOf(general)[kAppId]["title"], Value("m1"));

  general->setString("abc");
  ASSERT_TRUE(AppCommunicate::setAppCommunicateData(message("m2"), kAppId));
  EXPECT_EQ(rootOf(general)["old_text"], Value("abc"));
  EXPECT_EQ(general->string(), "");

  auto read = AppCommunicate::appCommunicateDataForAppID(kAppId);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->command(), 2020u);
  EXPECT_EQ(read->propertList()["title"], Value("m2"));
  EXPECT_EQ(general->string(), "abc");
  EXPECT_FALSE(AppCommunicate::appCommunicateDataForAppID(kAppId));
  EXPECT_FALSE(AppCommunicate::appCommunicateDataForAppID(""));
}

TEST_F(AppCommunicateTest, BeforeSystem7MessagesGoToTheNamedPasteboards) {
  setSystemVersion("6.1");
  UIPasteboard::generalPasteboard()->setString("mine");
  ASSERT_TRUE(AppCommunicate::setAppCommunicateData(message("old", {7, 8, 9}), kAppId));
  EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), "mine");
  auto data = UIPasteboard::pasteboardWithName("parley_data", false);
  auto file = UIPasteboard::pasteboardWithName("parley_file", false);
  ASSERT_TRUE(data && file);
  EXPECT_TRUE(data->isPersistent());
  EXPECT_TRUE(file->isPersistent());
  EXPECT_EQ(rootOf(data)[kAppId]["title"], Value("old"));
  EXPECT_EQ(file->dataForPasteboardType("content"), (std::vector<uint8_t>{7, 8, 9}));
  auto read = AppCommunicate::appCommunicateDataForAppID(kAppId);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->fileData, (std::vector<uint8_t>{7, 8, 9}));
  EXPECT_FALSE(AppCommunicate::appCommunicateDataForAppID(kAppId)) << "read once";
  // A message without bytes empties the file pasteboard.
  ASSERT_TRUE(AppCommunicate::setAppCommunicateData(message("no file"), kAppId));
  EXPECT_EQ(file->dataForPasteboardType("content").value_or(std::vector<uint8_t>{1}),
            std::vector<uint8_t>{});
}

TEST_F(AppCommunicateTest, WritingToParleyDataNeverErasesOtherAppsEntries) {
  setSystemVersion("6.1");
  auto data = UIPasteboard::pasteboardWithName("parley_data", true);
  Value others = Value::dict({{"otherapp", Value::dict({{"command", Value("1010")}})}});
  data->setData(*ParleyApiUtil::dataFromPropertyList(others), "content");

  ASSERT_TRUE(AppCommunicate::setAppCommunicateData(message("mine"), kAppId));
  EXPECT_EQ(rootOf(data)["otherapp"], others["otherapp"]);
  EXPECT_EQ(rootOf(data)[kAppId]["title"], Value("mine"));

  // A write that fails (a message without a dictionary) leaves every entry
  // where it was.
  Value before = rootOf(data);
  EXPECT_FALSE(
      AppCommunicate::setAppCommunicateData(std::make_shared<AppCommunicateData>(), kAppId));
  EXPECT_EQ(rootOf(data), before);
}
