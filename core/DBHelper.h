#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/LoginRecord.h"
#include "core/MessageRecord.h"
#include "core/SqliteDatabase.h"

// The app's local database "tvmg.db" in the sandbox's Documents folder: remembered logins (table
// user) and received messages (table msg).
//
// Each user makes its own DBHelper, opens it, works and closes it (the destructor closes too).
// One DBHelper belongs to one thread at a time; several may be open on the same file at once.
// Every call on a closed helper fails quietly (false, nullopt, empty list, 0).
class DBHelper {
 public:
  static constexpr const char* kFileName = "tvmg.db";

  DBHelper() = default;
  ~DBHelper() = default;
  DBHelper(const DBHelper&) = delete;
  DBHelper& operator=(const DBHelper&) = delete;

  // Sandbox::documents()/tvmg.db.
  static std::string databasePath();
  bool open();
  bool open(const std::string& path);
  // Creates the tables user and msg when they do not exist yet.
  bool createTables();
  void close();
  bool isOpen() const { return db_.isOpen(); }

  // Remembered logins. saveLogin inserts or replaces the user's row, dated now.
  bool saveLogin(const std::string& username, const std::string& password, int autologin);
  // The most recently saved login; nullopt when there is none.
  std::optional<LoginRecord> newestLogin() const;
  // Every remembered login, newest first.
  std::vector<LoginRecord> logins() const;
  bool setAutologin(const std::string& username, int autologin);

  // Messages. insertMessage keeps a message already stored as it is (read and deleted flags
  // included) and returns false for it.
  bool insertMessage(const MessageRecord& message);
  // Messages not deleted, newest (highest id) first; msgType 0 lists every type.
  std::vector<MessageRecord> messages(int msgType = 0) const;
  std::optional<MessageRecord> message(int64_t mid) const;
  bool markRead(int64_t mid);
  // Marks the message deleted: it is no longer listed, and its id still counts for maxMessageId.
  bool deleteMessage(int64_t mid);
  // The highest message id ever stored (deleted ones included); 0 when there is none.
  int64_t maxMessageId() const;

 private:
  SqliteDatabase db_;
};
