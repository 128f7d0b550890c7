#pragma once
// Shares the player's invitation link (UserData "inviteurl") to Parley as a web page with the
// app's icon as thumbnail: scene 0 to a chat, with title and description; scene 1 to the
// timeline, with the longer title alone. Used by the game detail page and the shop's exchange
// success popup. Main thread. What Parley makes of the share is not reported back.

#include <string>

namespace InviteShare {

inline constexpr const char* kChatTitle = "Tovira手游";
inline constexpr const char* kChatDescription =
    "玩手游必备神器，100%返利/永久返利/自动返利，不是一般的省钱！";
inline constexpr const char* kTimelineTitle =
    "Tovira手游，玩手游必备神器，100%返利/永久返利/自动返利，不是一般的省钱！";

void share(int scene, const std::string& title, const std::string& description);
// The two shares that the screens offer.
inline void shareToFriend() { share(0, kChatTitle, kChatDescription); }
inline void shareToCircle() { share(1, kTimelineTitle, ""); }

}  // namespace InviteShare
