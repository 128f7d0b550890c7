#pragma once

// Codes shared by the Parley requests, responses and the command dictionary.
// Throughout the SDK an empty string or empty data stands for "not set": a
// field that is empty is neither written nor sent.

// Where a shared message goes (SendMessageToPLReq::scene).
enum PLSceneType : int {
  PLSceneChat = 0,      // a chat with a friend
  PLSceneTimeline = 1,  // the user's timeline
};

// BaseResp::errCode values that the SDK sets itself; every other value is
// copied from Parley's reply.
enum PLErrorCode : int {
  PLErrorSuccess = 0,
  PLErrorCommon = -1,         // a reply without a code or without a usable result
  PLErrorUserCancelled = -2,  // the user left the web login
  PLErrorAuthDenied = -4,     // the user refused the login
};

// The type of a media object on the wire ("objectType").
enum PLMediaObjectType : unsigned {
  PLMediaObjectImage = 2,
  PLMediaObjectMusic = 3,
  PLMediaObjectVideo = 4,
  PLMediaObjectWebpage = 5,
  PLMediaObjectFile = 6,
  PLMediaObjectAppExtend = 7,
  PLMediaObjectEmoticon = 8,
};

// The "command" of a command dictionary.
enum PLCommandCode : unsigned long {
  PLCommandNone = 0,
  PLCommandMediaMessage = 1010,
  PLCommandTextMessage = 1020,
  PLCommandAuthRequest = 1030,
  PLCommandShowMessageResp = 1070,
  PLCommandGetMessageReq = 2000,
  PLCommandSendMessageRespWithLocale = 2010,
  PLCommandSendMessageResp = 2020,
  PLCommandAuthResp = 2030,
  PLCommandLaunchFromPL = 2040,
  PLCommandCreateChatRoomResp = 2050,
  PLCommandJoinChatRoomResp = 2060,
};
