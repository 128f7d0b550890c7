#include <gtest/gtest.h>
#include <plist/plist.h>

#include <cstdlib>

#include "platform/foundation/NSKeyedUnarchiver.h"
#include "platform/foundation/Plist.h"

namespace {
// An archive whose root array holds a reference to itself.
Value::Data circularArchive() {
  plist_t archive = plist_new_dict();
  plist_dict_set_item(archive, "$archiver", plist_new_string("NSKeyedArchiver"));
  plist_dict_set_item(archive, "$version", plist_new_uint(100000));
  plist_t top = plist_new_dict();
  plist_dict_set_item(top, "root", plist_new_uid(1));
  plist_dict_set_item(archive, "$top", top);
  plist_t objects = plist_new_array();
  plist_array_append_item(objects, plist_new_string("$null"));
  plist_t array = plist_new_dict();
  plist_t refs = plist_new_array();
  plist_array_append_item(refs, plist_new_uid(1));
  plist_dict_set_item(array, "NS.objects", refs);
  plist_dict_set_item(array, "$class", plist_new_uid(2));
  plist_array_append_item(objects, array);
  plist_t record = plist_new_dict();
  plist_dict_set_item(record, "$classname", plist_new_string("NSArray"));
  plist_array_append_item(objects, record);
  plist_dict_set_item(archive, "$objects", objects);
  char* raw = nullptr;
  uint32_t length = 0;
  plist_to_bin(archive, &raw, &length);
  Value::Data bytes(reinterpret_cast<uint8_t*>(raw), reinterpret_cast<uint8_t*>(raw) + length);
  std::free(raw);
  plist_free(archive);
  return bytes;
}
}  // namespace

TEST(NSKeyedUnarchiver, DataThatIsNotAKeyedArchiveCannotBeUnarchived) {
  EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithData({}));
  EXPECT_FALSE(
      NSKeyedUnarchiver::unarchiveObjectWithData({'g', 'a', 'r', 'b', 'a', 'g', 'e', '!', '!'}));
  EXPECT_FALSE(
      NSKeyedUnarchiver::unarchiveObjectWithData(Plist::toBinary(Value::dict({{"a", 1}}))));
}

TEST(NSKeyedUnarchiver, CircularReferencesCannotBeUnarchived) {
  EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithData(circularArchive()));
}
