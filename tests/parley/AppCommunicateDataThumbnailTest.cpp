#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "ParleyTestSupport.h"
#include "parley/AppCommunicateData.h"
#include "parley/PLWebpageObject.h"
#include "parley/SendMessageToPLReq.h"

namespace {

// Thumbnails as other apps and servers hand them over, in every format the phone decodes; the
// files are the image fuzzer's seeds.
std::vector<uint8_t> thumbnail(const std::string& name) {
  std::ifstream in(std::string(TOVIRA_RESOURCES) + "/../fuzz/corpus/image/" + name,
                   std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::shared_ptr<SendMessageToPLReq> shareWithThumbnail(const std::vector<uint8_t>& thumbData) {
  auto page = PLWebpageObject::object();
  page->webpageUrl = "https://t.example/i?u=7";
  auto message = PLMediaMessage::message();
  message->title = "来玩";
  message->thumbData = thumbData;
  message->mediaObject = page;
  auto req = std::make_shared<SendMessageToPLReq>();
  req->message = message;
  return req;
}

}  // namespace

class AppCommunicateDataThumbnailTest : public ParleyTest {};

TEST_F(AppCommunicateDataThumbnailTest, AGifThumbnailLetsAMediaMessageBeMade) {
  const auto gif = thumbnail("frame-at-1-1-6x4.gif");
  ASSERT_FALSE(gif.empty());
  AppCommunicateData data;
  ASSERT_TRUE(data.ReqToData(shareWithThumbnail(gif)));
  EXPECT_EQ(data.propertList()["thumbData"], Value::data(gif));
}

TEST_F(AppCommunicateDataThumbnailTest, ThumbnailsOfEveryDecodedFormatLetAMessageBeMade) {
  for (const char* name : {"rgb-5x3.bmp", "rgba-5x3-lossless.webp", "rgba-4x3-lzw.tif"}) {
    const auto bytes = thumbnail(name);
    ASSERT_FALSE(bytes.empty()) << name;
    EXPECT_TRUE(AppCommunicateData().ReqToData(shareWithThumbnail(bytes))) << name;
    // Cut off, the same thumbnail is no image and the message is refused.
    const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + 20);
    EXPECT_FALSE(AppCommunicateData().ReqToData(shareWithThumbnail(cut))) << name;
  }
}
