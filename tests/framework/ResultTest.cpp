#include "framework/Result.h"

#include <gtest/gtest.h>

#include <any>
#include <memory>
#include <string>
#include <vector>

using namespace tavora::framework;

namespace {

const Failure kLocked{"データベースがロックされています", "the database is locked"};

Result<> checkPositive(int n) {
    if (n <= 0)
        return kLocked;
    return {};
}

Result<int> half(int n) {
    if (n % 2 != 0)
        return Failure{"奇数です", "odd number " + std::to_string(n)};
    return n / 2;
}

// A failure of one kind of result is handed on as another.
Result<std::string> halfText(int n) {
    auto h = half(n);
    if (!h)
        return h.failure();
    return std::to_string(*h);
}

TEST(Result, SuccessWithoutValueHasNoTexts) {
    Result<> r = checkPositive(3);
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(static_cast<bool>(r));
    EXPECT_EQ(r.message(), "");
    EXPECT_EQ(r.english(), "");
}

TEST(Result, FailureKeepsBothTexts) {
    Result<> r = checkPositive(0);
    ASSERT_FALSE(r.ok());
    EXPECT_FALSE(static_cast<bool>(r));
    EXPECT_EQ(r.message(), "データベースがロックされています");
    EXPECT_EQ(r.english(), "the database is locked");
    EXPECT_EQ(r.failure().message, kLocked.message);
}

TEST(Result, UntranslatedTextIsTheSameInBothLanguages) {
    Result<> r = Failure::untranslated("/tmp/x: disk I/O error");
    ASSERT_FALSE(r);
    EXPECT_EQ(r.message(), "/tmp/x: disk I/O error");
    EXPECT_EQ(r.english(), "/tmp/x: disk I/O error");
}

struct HalfCase {
    const char* name;
    int input;
    bool ok;
    std::string text; // the value as text, or the English failure
};

class ResultValue : public ::testing::TestWithParam<HalfCase> {};

TEST_P(ResultValue, CarriesTheValueOrTheFailureThroughAnotherType) {
    const HalfCase& c = GetParam();
    Result<std::string> r = halfText(c.input);
    ASSERT_EQ(r.ok(), c.ok);
    if (c.ok) {
        EXPECT_EQ(*r, c.text);
        EXPECT_EQ(r->size(), c.text.size());
        EXPECT_EQ(r.message(), "");
    } else {
        EXPECT_EQ(r.english(), c.text);
        EXPECT_EQ(r.message(), "奇数です");
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ResultValue,
                         ::testing::Values(HalfCase{"Even", 8, true, "4"}, HalfCase{"Zero", 0, true, "0"},
                                           HalfCase{"Negative", -6, true, "-3"},
                                           HalfCase{"Odd", 7, false, "odd number 7"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Result, HoldsMoveOnlyValuesAndConvertsOnConstruction) {
    Result<std::unique_ptr<int>> owned = std::make_unique<int>(5);
    ASSERT_TRUE(owned);
    std::unique_ptr<int> taken = std::move(owned).value();
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(*taken, 5);

    Result<std::string> literal = "文字列"; // a const char* becomes the string value
    ASSERT_TRUE(literal);
    EXPECT_EQ(*literal, "文字列");

    Result<std::vector<int>> list = std::vector<int>{1, 2, 3};
    list->push_back(4);
    EXPECT_EQ(list.value().size(), 4u);
}

TEST(Result, AFailureIsNeverTakenForAValue) {
    // std::any could hold a Failure as its value; the Result must still read it as a failure.
    Result<std::any> r = Failure{"失敗", "failed"};
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.english(), "failed");
    Result<std::any> value = 3;
    ASSERT_TRUE(value.ok());
    EXPECT_EQ(std::any_cast<int>(*value), 3);
    Result<std::any> copy = value; // a copy, not a Result held inside the any
    ASSERT_TRUE(copy.ok());
    EXPECT_EQ(std::any_cast<int>(*copy), 3);
}

} // namespace
