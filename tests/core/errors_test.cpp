#include <gtest/gtest.h>

#include "ormelin/errors.hpp"

namespace ormelin {
namespace {

TEST(Errors, CarryNumberAndDescription) {
    Error e(ErrorCode::ObjectRequired);
    EXPECT_EQ(e.number(), 91);
    EXPECT_EQ(e.description(), "Object variable or With block variable not set");
    EXPECT_STREQ(e.what(), "Object variable or With block variable not set");
    Error custom(ErrorCode::ApplicationDefined, "the sheet is full");
    EXPECT_EQ(custom.number(), 1004);
    EXPECT_EQ(custom.description(), "the sheet is full");
}

}  // namespace
}  // namespace ormelin
