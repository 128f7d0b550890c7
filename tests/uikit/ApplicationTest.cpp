#include "uikit/UIKitFixture.h"

class ApplicationTest : public UIKitFixture {};

TEST_F(ApplicationTest, OpenURLReachesInstalledAppsOnlyAfterTheCallReturns) {
  auto app = UIApplication::sharedApplication();
  std::vector<std::string> received;
  SimulatedDevice::shared().installApp("parley", [&](const std::string& url) {
    received.push_back(url);
    return true;
  });
  EXPECT_FALSE(app->openURL(NSURL::URLWithString("taobao://item?id=1")));
  EXPECT_FALSE(app->canOpenURL(NSURL::URLWithString("taobao://item?id=1")));
  EXPECT_FALSE(app->openURL(nullptr));
  EXPECT_TRUE(app->canOpenURL(NSURL::URLWithString("Parley://app/x/")));
  EXPECT_TRUE(app->openURL(NSURL::URLWithString("parley://app/plapp/sendreq/?")));
  EXPECT_TRUE(received.empty());
  pump();
  EXPECT_EQ(received, (std::vector<std::string>{"parley://app/plapp/sendreq/?"}));
  EXPECT_EQ(SimulatedDevice::shared().openedURLs(), received);
}

TEST_F(ApplicationTest, LocalNotificationsAreRecordedAndTheStateFollowsTheBackground) {
  auto app = UIApplication::sharedApplication();
  app->enterBackground();
  EXPECT_EQ(app->applicationState(), UIApplicationStateBackground);
  auto n = UILocalNotification::create();
  app->scheduleLocalNotification(n);
  EXPECT_EQ(app->scheduledLocalNotifications(),
            (std::vector<std::shared_ptr<UILocalNotification>>{n}));
  app->cancelAllLocalNotifications();
  EXPECT_TRUE(app->scheduledLocalNotifications().empty());
}

TEST_F(ApplicationTest, ScreenAndDeviceAreSettable) {
  EXPECT_EQ(UIScreen::mainScreen()->bounds(), CGRectMake(0, 0, 320, 568));
  UIScreen::mainScreen()->setBounds(CGRectMake(0, 0, 375, 667));
  EXPECT_EQ(UIViewController::create()->view()->frame().size, CGSizeMake(375, 667));
  UIDevice::currentDevice()->setSystemVersion("6.1");
  UIDevice::currentDevice()->setModel("iPhone5,2");
  EXPECT_EQ(UIDevice::currentDevice()->model(), "iPhone5,2");
  EXPECT_EQ(UIDevice::currentDevice()->foundationVersionNumber(), 993.0);
  UIDevice::currentDevice()->setSystemVersion("8.4");
  EXPECT_GT(UIDevice::currentDevice()->foundationVersionNumber(), 1047.25);
  EXPECT_EQ(UIApplication::sharedApplication()->statusBarFrame(), CGRectMake(0, 0, 375, 20));
}

TEST_F(ApplicationTest, ImagesLoadByNameOrFromAPixelMatrixDecodeRealFilesAndRefuseGarbage) {
  auto a = UIImage::imageNamed("ic_launcher");
  auto b = UIImage::imageNamed("ic_launcher.png");
  ASSERT_TRUE(a);
  ASSERT_TRUE(b);
  EXPECT_EQ(a->scale(), 2);  // the @2x file is preferred
  EXPECT_EQ(a->size(), CGSizeMake(60, 60));
  EXPECT_EQ(UIImage::imageNamed("no_such_image"), nullptr);
  EXPECT_TRUE(UIImage::imageNamed("ktr_taobao_100.jpg"));
  EXPECT_EQ(UIImage::imageWithData({'G', 'I', 'F', '8', 0, 1, 2}), nullptr);
  EXPECT_EQ(UIImage::imageWithData({}), nullptr);

  auto png = UIImagePNGRepresentation(a);
  auto back = UIImage::imageWithData(png);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->pixels(), a->pixels());
  auto high = UIImageJPEGRepresentation(a, 0.9), low = UIImageJPEGRepresentation(a, 0.1);
  ASSERT_FALSE(high.empty());
  EXPECT_LT(low.size(), high.size());
  EXPECT_EQ(UIImage::imageWithData(low)->pixelWidth(), 120);
  EXPECT_TRUE(UIImagePNGRepresentation(nullptr).empty());
  // Images from a pixel matrix.
  auto qr = UIImage::imageWithBitMatrix({{true, false}, {false, true}}, 3);
  ASSERT_TRUE(qr);
  EXPECT_EQ(qr->pixelWidth(), 6);
  EXPECT_EQ(qr->pixelAt(0, 0), 0x000000FFu);
  EXPECT_EQ(qr->pixelAt(4, 0), 0xFFFFFFFFu);
  EXPECT_EQ(UIImage::imageWithPixels(2, 2, {1, 2, 3}), nullptr);
}
