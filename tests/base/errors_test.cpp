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

TEST(Errors, RefusalsCarryTheirReasonBesideTheNumber) {
    Error refused(Refusal::PartOfMergedArea);
    EXPECT_EQ(refused.code(), ErrorCode::ApplicationDefined);
    EXPECT_EQ(refused.number(), 1004);
    EXPECT_EQ(refused.refusal(), Refusal::PartOfMergedArea);
    EXPECT_EQ(refused.description(), "Cannot change part of a merged cell");
    // other errors have no reason, even with the same number
    EXPECT_EQ(Error(ErrorCode::ApplicationDefined, "the sheet is full").refusal(), Refusal::None);
    EXPECT_EQ(Error(ErrorCode::FileError).refusal(), Refusal::None);
    // every reason has a description of its own
    for (int r = 1; r <= static_cast<int>(Refusal::FontSizeOutOfRange); ++r) {
        const std::string text = describe(static_cast<Refusal>(r));
        EXPECT_NE(text, describe(ErrorCode::ApplicationDefined)) << r;
        for (int other = 1; other < r; ++other) EXPECT_NE(text, describe(static_cast<Refusal>(other))) << r;
    }
}

}  // namespace
}  // namespace ormelin
