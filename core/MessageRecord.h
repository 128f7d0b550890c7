#pragma once

#include <cstdint>
#include <string>

// A message from the platform: a row of the local table msg. On the wire it is an item of the
// "getMsg_v2" reply: "id" -> mid, "qx_title" -> title, "qx_msg" -> content, "qx_addtime" -> date,
// "type" -> msgType (1 系统消息, 2 活动消息, 3 专属消息, 4 今日热点).
struct MessageRecord {
  int64_t mid = 0;
  std::string title;
  std::string content;
  int64_t date = 0;  // seconds since 1970
  int read = 0;      // 1 once opened
  int msgType = 0;
  int isDelete = 0;  // 1 once deleted by the user; the row stays so that it is not fetched again
};
