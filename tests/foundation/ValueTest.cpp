#include <gtest/gtest.h>

#include "platform/foundation/Value.h"

TEST(Value, placeholder) { EXPECT_TRUE(Value().isNil()); }
