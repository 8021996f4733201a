#include "framework/Base64.h"

#include <gtest/gtest.h>

using namespace tavora::framework;

namespace {

TEST(Base64Test, Rfc4648VectorsAndBinary) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
        {std::string("\xFB\xFF\x00", 3), "+/8A"},
        {"user:pass", "dXNlcjpwYXNz"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(Base64Encode(in), out) << in;
}

} // namespace
