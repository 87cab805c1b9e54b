#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <string>

#include "core/settings/memory_settings_backend.h"
#include "core/settings/trusted_certificates.h"

namespace quill {
namespace {

constexpr const char* kColonForm =
    "0A:1B:2C:3D:4E:5F:60:71:82:93:A4:B5:C6:D7:E8:F9:00:11:22:33:44:55:66:77:88:99:AA:BB:CC:DD:"
    "EE:FF";

TEST(Fingerprint, FormattedAsOpensslPrintsIt) {
    std::array<std::uint8_t, kSha256Bytes> digest{};
    digest[0] = 0x0A;
    digest[1] = 0xF0;
    digest[31] = 0xFF;
    const std::string text = FormatFingerprint(digest);
    EXPECT_EQ(text.substr(0, 9), "0A:F0:00:");
    EXPECT_EQ(text.size(), 95u);
    EXPECT_EQ(text.substr(92), ":FF");
}

TEST(Fingerprint, ReadWithOrWithoutColonsInEitherCaseAndNothingElse) {
    std::string bare = kColonForm;
    std::erase(bare, ':');
    std::string lower = bare;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const std::string& good : {std::string(kColonForm), bare, lower}) {
        EXPECT_EQ(ReadFingerprint(good), kColonForm) << good;
    }
    std::string wrongSeparator = kColonForm;
    wrongSeparator[2] = '-';
    std::string notHex = bare;
    notHex[63] = 'G';
    for (const std::string& bad : {std::string(), bare.substr(1), bare + "0", wrongSeparator,
                                   notHex, std::string(kColonForm) + ":", " " + bare.substr(1)}) {
        EXPECT_FALSE(ReadFingerprint(bad)) << bad;
    }
}

class TrustedCertificatesTest : public ::testing::Test {
  protected:
    MemorySettingsBackend backend;
    SettingsStore store{backend};
};

TEST_F(TrustedCertificatesTest, RememberedPerHostAndPortTheHostInAnyCase) {
    EXPECT_FALSE(RememberedFingerprint(store, "bbs.example", 992));
    ASSERT_TRUE(RememberFingerprint(store, "BBS.example", 992, kColonForm));
    EXPECT_EQ(RememberedFingerprint(store, "bbs.EXAMPLE", 992), kColonForm);
    EXPECT_FALSE(RememberedFingerprint(store, "bbs.example", 993));
    EXPECT_FALSE(RememberedFingerprint(store, "other.example", 992));
    std::string stored;
    store.ReadSetting("certificates", "[::1]:992", "", stored, 200);
    EXPECT_EQ(stored, "");
    ASSERT_TRUE(RememberFingerprint(store, "::1", 992, kColonForm));
    store.ReadSetting("certificates", "[::1]:992", "", stored, 200);
    EXPECT_EQ(stored, kColonForm);
    // A new certificate replaces the old one; the other host keeps its own.
    std::string other = kColonForm;
    other[0] = 'F';
    ASSERT_TRUE(RememberFingerprint(store, "bbs.example", 992, other));
    EXPECT_EQ(RememberedFingerprint(store, "bbs.example", 992), other);
    EXPECT_EQ(RememberedFingerprint(store, "::1", 992), kColonForm);
}

TEST(JudgeCertificate, ByWhatWasRememberedForTheHostAndPort) {
    const std::string other = "AA" + std::string(kColonForm).substr(2);
    EXPECT_EQ(JudgeCertificate(std::nullopt, kColonForm), CertificateVerdict::kUntrusted);
    EXPECT_EQ(JudgeCertificate(kColonForm, kColonForm), CertificateVerdict::kRemembered);
    EXPECT_EQ(JudgeCertificate(other, kColonForm), CertificateVerdict::kChanged);
}

TEST_F(TrustedCertificatesTest, ADamagedEntryIsNotRemembered) {
    std::string bare = kColonForm;
    std::erase(bare, ':');
    store.WriteSetting("certificates", "a:1", bare);
    EXPECT_EQ(RememberedFingerprint(store, "a", 1), kColonForm);
    for (const std::string& damaged :
         {bare.substr(0, 63), bare + bare, std::string("yes"), std::string()}) {
        store.WriteSetting("certificates", "a:1", damaged);
        EXPECT_FALSE(RememberedFingerprint(store, "a", 1)) << damaged;
    }
}

}  // namespace
}  // namespace quill
