#include "settings/SettingChecks.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tavora::settings {
namespace {

TEST(SettingChecks, AcceptOrRefuseEachKindOfValue) {
    test::TempDir dir;
    test::writeFile(dir / "ca.pem", "x");
    const std::string caFile = (dir / "ca.pem").string();
    test::writeFile(dir / "codes.csv", "7203,トヨタ自動車,輸送用機器,東証プライム\n");
    test::writeFile(dir / "shadow", "root:*:19000:0:99999:7:::\n");
    const struct {
        const char* key;
        std::string value;
        bool ok;
        std::string stored; // when ok; empty: as given
    } cases[] = {
        {"kabuplusid", "user-01", true, ""},
        {"kabuplusid", "山田", true, ""},
        {"kabuplusid", "", true, ""},
        {"kabuplusid", "user:01", false, ""},
        {"kabuplusid", "user\n01", false, ""},
        {"kabuplusid", "user\x7f", false, ""},
        {"kabuplusid", std::string(260, 'a'), false, ""},
        {"kabuplusid", std::string(259, 'a'), true, ""},
        {"kabuplusid", "\xff\xfe", false, ""},
        {"kabupluspw", "pa:ss #;'\"word", true, ""},
        {"kabupluspw", "pass\tword", false, ""},
        {"kabupluspw", "pass\rword", false, ""},
        {"kabuplus_url", "https://csvex.com/", true, "https://csvex.com"},
        {"kabuplus_url", "https://localhost:8443", true, ""},
        {"kabuplus_url", "http://csvex.com", false, ""},
        {"kabuplus_url", "https://user:pw@csvex.com", false, ""},
        {"kabuplus_url", "https://csvex.com:0", false, ""},
        {"kabuplus_url", "https://", false, ""},
        {"kabuplus_url", "https://csv ex.com", false, ""},
        {"site_url", "https://tavora.example/base", true, ""},
        {"kabuplus_cafile", "", true, ""},
        {"kabuplus_cafile", caFile, true, ""},
        {"kabuplus_cafile", (dir / "missing.pem").string(), false, ""},
        {"codelistcsvpath", "", true, ""},
        {"codelistcsvpath", (dir / "codes.csv").string(), true, ""},
        {"codelistcsvpath", (dir / "shadow").string(), false, ""}, // no entry: an empty catalogue
        {"codelistcsvpath", (dir / "missing.csv").string(), false, ""},
        {"codeauto_ch", "1", true, ""},
        {"codeauto_ch", "0", true, ""},
        {"codeauto_ch", "yes", false, ""},
        {"buckupcreate_ch", "2", false, ""},
        {"refserver_port", "60000", true, ""},
        {"refserver_port", "65536", false, ""},
        {"refserver_port", "-1", false, ""},
        {"refserver_host", "ref.tavora.example", true, ""},
        {"refserver_host", "ref tavora", false, ""},
        {"adpanel_view_type", "ADPANEL_WIDTH_TYPE_LARGE_VIEW", true, ""},
        {"adpanel_view_type", "wide", false, ""},
        {"kabuplus_file_timeout", "120", true, ""},
        {"kabuplus_file_timeout", "1", true, ""},
        {"kabuplus_file_timeout", "86400", true, ""},
        {"kabuplus_file_timeout", "0300", true, "300"},
        {"kabuplus_file_timeout", "0", false, ""},
        {"kabuplus_file_timeout", "86401", false, ""},
        {"kabuplus_file_timeout", "-1", false, ""},
        {"kabuplus_file_timeout", "2.5", false, ""},
        {"kabuplus_file_timeout", "", false, ""},
        {"kabuplus_file_timeout", "99999999999", false, ""},
        {"CreateDataPath", "/tmp", false, ""},
        {"grbuckcr", "0", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " = " + c.value);
        const auto check = checkSetting(c.key, c.value);
        EXPECT_EQ(check.ok, c.ok) << check.error;
        if (c.ok)
            EXPECT_EQ(check.value, c.stored.empty() ? c.value : c.stored);
        else
            EXPECT_FALSE(check.error.empty());
        // tavora-cli's English reason comes with every refusal, in plain ASCII (the values here are).
        EXPECT_EQ(check.errorEnglish.empty(), c.ok) << check.errorEnglish;
        EXPECT_TRUE(std::all_of(check.errorEnglish.begin(), check.errorEnglish.end(), [](char ch) {
            return static_cast<unsigned char>(ch) < 0x80;
        })) << check.errorEnglish;
    }
}

TEST(SettingChecks, OnlyThePasswordIsSecretAndEverySettableKeyIsChecked) {
    for (const auto& key : userSettableKeys()) {
        EXPECT_TRUE(isUserSettableKey(key));
        EXPECT_EQ(isSecretKey(key), key == "kabupluspw") << key;
    }
    EXPECT_FALSE(isUserSettableKey("kabuplusid "));
}

} // namespace
} // namespace tavora::settings
