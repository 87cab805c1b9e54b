#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/settings/host_history.h"
#include "core/settings/memory_settings_backend.h"

namespace quill {
namespace {

using Hosts = std::vector<std::string>;

class HostHistoryTest : public ::testing::Test {
  protected:
    void StoreHistory(const Hosts& hosts) {
        for (std::size_t i = 0; i < hosts.size(); ++i) {
            store.WriteSetting("hosts", HostKey(static_cast<int>(i) + 1), hosts[i]);
        }
    }

    // All ten slots as stored; a missing key shows as "<missing>".
    Hosts StoredSlots() {
        Hosts slots;
        for (int n = 1; n <= kHostHistorySize; ++n) {
            std::string host;
            store.ReadSetting("hosts", HostKey(n), "<missing>", host, 1000);
            slots.push_back(host);
        }
        return slots;
    }

    // The user picks or types newHost in the dialog and presses OK.
    void ChooseInDialog(const std::string& newHost) { SaveHostHistory(store, newHost); }

    static Hosts Padded(Hosts hosts) {
        hosts.resize(kHostHistorySize);
        return hosts;
    }

    static Hosts Numbered(const std::string& prefix) {
        Hosts hosts;
        for (int n = 1; n <= kHostHistorySize; ++n) hosts.push_back(prefix + std::to_string(n));
        return hosts;
    }

    MemorySettingsBackend backend;
    SettingsStore store{backend};
};

TEST_F(HostHistoryTest, EmptyStoreFillsNothingAndFirstSaveWritesAllTenKeysAtOnce) {
    const HostList list = FillHostList(store);
    EXPECT_TRUE(list.hosts.empty());
    EXPECT_EQ(list.editText, "");

    ChooseInDialog("myhost");
    EXPECT_EQ(StoredSlots(), Padded({"myhost"}));
    EXPECT_EQ(backend.writeCount, 1u);
}

TEST_F(HostHistoryTest, ListIsInKeyOrderWithTheMostRecentAsEditText) {
    StoreHistory({"alpha", "", "gamma", "", "", "", "", "", "", "kappa"});
    const HostList list = FillHostList(store);
    EXPECT_EQ(list.hosts, (Hosts{"alpha", "gamma", "kappa"}));
    EXPECT_EQ(list.editText, "alpha");
}

TEST_F(HostHistoryTest, EditTextIsHostOneEvenWhenEmpty) {
    StoreHistory({"", "beta"});
    const HostList list = FillHostList(store);
    EXPECT_EQ(list.hosts, (Hosts{"beta"}));
    EXPECT_EQ(list.editText, "");
}

TEST_F(HostHistoryTest, ChosenHostMovesToTheFront) {
    StoreHistory({"alpha", "beta", "gamma"});
    ChooseInDialog("gamma");
    EXPECT_EQ(StoredSlots(), Padded({"gamma", "alpha", "beta"}));
}

TEST_F(HostHistoryTest, DuplicatesCompareWithCase) {
    StoreHistory({"alpha", "beta", "gamma"});
    ChooseInDialog("Beta");
    EXPECT_EQ(StoredSlots(), Padded({"Beta", "alpha", "beta", "gamma"}));
}

TEST_F(HostHistoryTest, NewHostOnAFullListDropsTheOldest) {
    StoreHistory(Numbered("h"));
    ChooseInDialog("new");
    Hosts expected = Numbered("h");
    expected.pop_back();
    expected.insert(expected.begin(), "new");
    EXPECT_EQ(StoredSlots(), expected);
}

TEST_F(HostHistoryTest, PickingTheTenthOfAFullListKeepsAllTen) {
    StoreHistory(Numbered("h"));
    ChooseInDialog("h10");
    Hosts expected = Numbered("h");
    expected.pop_back();
    expected.insert(expected.begin(), "h10");
    EXPECT_EQ(StoredSlots(), expected);
}

TEST_F(HostHistoryTest, EmptySlotsCloseUpAtTheNextSave) {
    StoreHistory({"alpha", "", "gamma"});
    ChooseInDialog("alpha");
    EXPECT_EQ(StoredSlots(), Padded({"alpha", "gamma"}));
}

TEST_F(HostHistoryTest, SavingBuildsOnTheHistoryAsItStandsOnceTheStoreIsHeld) {
    // Another process saves "other" while this one waits to hold the store.
    StoreHistory({"alpha", "beta"});
    backend.beforeHold = [](MemorySettingsBackend& other) {
        SettingsStore otherStore{other};
        SaveHostHistory(otherStore, "other");
    };
    ChooseInDialog("beta");
    EXPECT_EQ(StoredSlots(), Padded({"beta", "other", "alpha"}));
}

TEST_F(HostHistoryTest, OverlongEntriesAreSkippedAndNewHostsCut) {
    StoreHistory({std::string(100, 'x'), std::string(99, 'y')});
    EXPECT_EQ(FillHostList(store).hosts, (Hosts{std::string(99, 'y')}));

    ChooseInDialog(std::string(150, 'z'));
    EXPECT_EQ(StoredSlots(), Padded({std::string(99, 'z'), std::string(99, 'y')}));
}

TEST_F(HostHistoryTest, CutHostNamesKeepWholeCharacters) {
    // 98 ASCII bytes and a two-byte character: the character does not fit in 99.
    const std::string host = std::string(98, 'a') + "\xc3\xa9";
    EXPECT_EQ(HostHistoryAfterSave(host, {})[0], std::string(98, 'a'));
    EXPECT_EQ(HostHistoryAfterSave(std::string(97, 'a') + "\xc3\xa9", {})[0],
              std::string(97, 'a') + "\xc3\xa9");
}

TEST_F(HostHistoryTest, EveryCopyOfTheNewHostIsRemoved) {
    // A hand-edited store may hold a host twice.
    EXPECT_EQ(HostHistoryAfterSave("a", {"a", "a", "b", "a"}), HostHistory({"a", "b"}));
}

TEST_F(HostHistoryTest, FailedSaveIsReportedAndChangesNothing) {
    StoreHistory({"alpha"});
    backend.holdUnavailable = true;
    EXPECT_FALSE(SaveHostHistory(store, "beta"));
    backend.holdUnavailable = false;
    backend.failWrites = true;
    EXPECT_FALSE(SaveHostHistory(store, "beta"));
    Hosts unchanged(kHostHistorySize, "<missing>");
    unchanged[0] = "alpha";
    EXPECT_EQ(StoredSlots(), unchanged);
}

}  // namespace
}  // namespace quill
