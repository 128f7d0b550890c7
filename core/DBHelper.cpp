#include "core/DBHelper.h"

#include "core/Time.h"
#include "platform/foundation/Sandbox.h"

namespace {

constexpr const char* kCreateUser =
    "CREATE TABLE IF NOT EXISTS user (username TEXT PRIMARY KEY NOT NULL, password TEXT, "
    "date INTEGER, autologin INTEGER DEFAULT 0)";
constexpr const char* kCreateMsg =
    "CREATE TABLE IF NOT EXISTS msg (mid INTEGER PRIMARY KEY NOT NULL, title TEXT, content TEXT, "
    "date INTEGER, \"read\" INTEGER DEFAULT 0, msgType INTEGER, isDelete INTEGER DEFAULT 0)";
constexpr const char* kLoginColumns = "SELECT username, password, date, autologin FROM user";
constexpr const char* kMessageColumns =
    "SELECT mid, title, content, date, \"read\", msgType, isDelete FROM msg";

LoginRecord loginFrom(const SqliteStatement& st) {
  return LoginRecord{st.columnText(0), st.columnText(1), st.columnInt(2),
                     static_cast<int>(st.columnInt(3))};
}

MessageRecord messageFrom(const SqliteStatement& st) {
  return MessageRecord{st.columnInt(0),
                       st.columnText(1),
                       st.columnText(2),
                       st.columnInt(3),
                       static_cast<int>(st.columnInt(4)),
                       static_cast<int>(st.columnInt(5)),
                       static_cast<int>(st.columnInt(6))};
}

}  // namespace

std::string DBHelper::databasePath() { return Sandbox::documents() + "/" + kFileName; }

bool DBHelper::open() { return open(databasePath()); }

bool DBHelper::open(const std::string& path) { return db_.open(path); }

bool DBHelper::createTables() { return db_.execute(kCreateUser) && db_.execute(kCreateMsg); }

void DBHelper::close() { db_.close(); }

bool DBHelper::saveLogin(const std::string& username, const std::string& password, int autologin) {
  auto st = db_.prepare(
      "INSERT OR REPLACE INTO user (username, password, date, autologin) VALUES (?, ?, ?, ?)");
  st.bind(1, username);
  st.bind(2, password);
  st.bind(3, Time::getCurrentTime());
  st.bind(4, autologin);
  return st.run();
}

std::optional<LoginRecord> DBHelper::newestLogin() const {
  // A replaced row gets a new rowid, so it breaks ties between logins within one second.
  auto st = db_.prepare(std::string(kLoginColumns) + " ORDER BY date DESC, rowid DESC LIMIT 1");
  if (!st.step()) return std::nullopt;
  return loginFrom(st);
}

std::vector<LoginRecord> DBHelper::logins() const {
  auto st = db_.prepare(std::string(kLoginColumns) + " ORDER BY date DESC, rowid DESC");
  std::vector<LoginRecord> out;
  while (st.step()) out.push_back(loginFrom(st));
  return out;
}

bool DBHelper::setAutologin(const std::string& username, int autologin) {
  auto st = db_.prepare("UPDATE user SET autologin = ? WHERE username = ?");
  st.bind(1, autologin);
  st.bind(2, username);
  return st.run();
}

bool DBHelper::insertMessage(const MessageRecord& m) {
  auto st = db_.prepare(
      "INSERT OR IGNORE INTO msg (mid, title, content, date, \"read\", msgType, isDelete) "
      "VALUES (?, ?, ?, ?, ?, ?, ?)");
  st.bind(1, m.mid);
  st.bind(2, m.title);
  st.bind(3, m.content);
  st.bind(4, m.date);
  st.bind(5, m.read);
  st.bind(6, m.msgType);
  st.bind(7, m.isDelete);
  if (!st.run()) return false;
  auto changed = db_.prepare("SELECT changes()");
  return changed.step() && changed.columnInt(0) > 0;
}

std::vector<MessageRecord> DBHelper::messages(int msgType) const {
  auto st = db_.prepare(std::string(kMessageColumns) +
                        " WHERE isDelete = 0 AND (? = 0 OR msgType = ?) ORDER BY mid DESC");
  st.bind(1, msgType);
  st.bind(2, msgType);
  std::vector<MessageRecord> out;
  while (st.step()) out.push_back(messageFrom(st));
  return out;
}

std::optional<MessageRecord> DBHelper::message(int64_t mid) const {
  auto st = db_.prepare(std::string(kMessageColumns) + " WHERE mid = ?");
  st.bind(1, mid);
  if (!st.step()) return std::nullopt;
  return messageFrom(st);
}

bool DBHelper::markRead(int64_t mid) {
  auto st = db_.prepare("UPDATE msg SET \"read\" = 1 WHERE mid = ?");
  st.bind(1, mid);
  return st.run();
}

bool DBHelper::deleteMessage(int64_t mid) {
  auto st = db_.prepare("UPDATE msg SET isDelete = 1 WHERE mid = ?");
  st.bind(1, mid);
  return st.run();
}

int64_t DBHelper::maxMessageId() const {
  auto st = db_.prepare("SELECT MAX(mid) FROM msg");
  return st.step() ? st.columnInt(0) : 0;
}
