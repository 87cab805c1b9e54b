#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "core/settings/memory_settings_backend.h"
#include "core/settings/settings_store.h"

namespace quill {
namespace {

TEST(ParseDecimal, FollowsTheStandardConversion) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"", 0},    {"abc", 0},    {"42", 42},      {"  \t\n42", 42}, {"-7x", -7},
        {"+5", 5},  {"12abc", 12}, {"- 5", 0},      {"0x10", 0},      {"007", 7},
        {"--3", 0}, {"3 4", 3},    {"\v\f\r-0", 0}, {"1e3", 1},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseDecimal(c.text), c.value) << '"' << c.text << '"';
}

TEST(ParseDecimal, SaturatesBeyondTheRangeOfInt) {
    EXPECT_EQ(ParseDecimal("2147483647"), INT_MAX);
    EXPECT_EQ(ParseDecimal("2147483648"), INT_MAX);
    EXPECT_EQ(ParseDecimal("-2147483648"), INT_MIN);
    EXPECT_EQ(ParseDecimal("-2147483649"), INT_MIN);
    EXPECT_EQ(ParseDecimal("99999999999999999999999999999999999999"), INT_MAX);
    EXPECT_EQ(ParseDecimal("-99999999999999999999999999999999999999"), INT_MIN);
    EXPECT_EQ(ParseDecimal("000000000000000000000000000000000000012"), 12);
}

class SettingsStoreTest : public ::testing::Test {
  protected:
    MemorySettingsBackend backend;
    SettingsStore store{backend};
};

TEST_F(SettingsStoreTest, MissingSettingReadsAsTheDefault) {
    std::string out = "stale";
    EXPECT_EQ(store.ReadSetting("Settings", "font", "Courier New", out, 80), 0);
    EXPECT_EQ(out, "Courier New");
    EXPECT_EQ(store.ReadIntSetting("Settings", "fontsize", 12), 12);
    EXPECT_EQ(store.ReadIntSetting("Settings", "fontsize", -3), -3);
}

TEST_F(SettingsStoreTest, StoredTextMustFitTheBuffer) {
    std::string out;
    store.WriteSetting("Settings", "font", std::string(79, 'a'));
    EXPECT_EQ(store.ReadSetting("Settings", "font", "dflt", out, 80), 1);
    EXPECT_EQ(out, std::string(79, 'a'));

    store.WriteSetting("Settings", "font", std::string(80, 'a'));
    EXPECT_EQ(store.ReadSetting("Settings", "font", "dflt", out, 80), 0);
    EXPECT_EQ(out, "dflt");

    store.WriteSetting("Settings", "font", "");
    EXPECT_EQ(store.ReadSetting("Settings", "font", "dflt", out, 80), 1);
    EXPECT_EQ(out, "");
}

TEST_F(SettingsStoreTest, NamesCompareWithoutRegardToCase) {
    EXPECT_TRUE(store.WriteSetting("Settings", "maximizeOnStart", "1"));
    EXPECT_EQ(store.ReadIntSetting("settings", "MaximizeOnStart", 0), 1);
    EXPECT_EQ(store.ReadIntSetting("SETTINGS", "MAXIMIZEONSTART", 0), 1);
    store.WriteSetting("SETTINGS", "MaximizeOnStart", "0");
    EXPECT_EQ(store.ReadIntSetting("Settings", "maximizeOnStart", 1), 0);
    // One key, kept in lower case.
    ASSERT_EQ(backend.Values().size(), 1u);
    EXPECT_EQ(backend.Values().begin()->first.first, "settings");
    EXPECT_EQ(backend.Values().begin()->first.second, "maximizeonstart");
}

TEST_F(SettingsStoreTest, DamagedIntegersReadAsTheirDecimalValue) {
    const struct {
        std::string stored;
        int value;
    } cases[] = {
        {"abc", 0},
        {"", 0},
        {"  -16pt", -16},
        {"99999999999", INT_MAX},
        {std::string("7\0"
                     "9",
                     3),
         7},
        {"\xff\xfe\x01", 0},
        {std::string(79, '0'), 0},
        {std::string(80, '1'), 12},  // too long for the buffer: the default
    };
    for (const auto& c : cases) {
        store.WriteSetting("Settings", "fontsize", c.stored);
        EXPECT_EQ(store.ReadIntSetting("Settings", "fontsize", 12), c.value) << c.stored;
    }
}

TEST_F(SettingsStoreTest, WritesReportFailureAndLeaveTheStoreAlone) {
    store.WriteSetting("hosts", "host1", "kept");
    backend.failWrites = true;
    EXPECT_FALSE(store.WriteSetting("hosts", "host1", "lost"));
    EXPECT_FALSE(store.WriteSettings("hosts", {{"host1", "a"}, {"host2", "b"}}));
    std::string out;
    store.ReadSetting("hosts", "host1", "", out, 100);
    EXPECT_EQ(out, "kept");
    EXPECT_EQ(backend.Values().size(), 1u);
}

TEST_F(SettingsStoreTest, SeveralKeysGoInOneWrite) {
    EXPECT_TRUE(store.WriteSettings("Hosts", {{"Host1", "a"}, {"HOST2", "b"}}));
    EXPECT_EQ(backend.writeCount, 1u);
    std::string out;
    store.ReadSetting("hosts", "host2", "", out, 100);
    EXPECT_EQ(out, "b");
}

}  // namespace
}  // namespace quill
