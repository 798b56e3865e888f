#include "api/LastSeen.h"
#include "store/CachedStore.h"
#include "store/SqliteStore.h"
#include "support/TempDir.h"
#include <gtest/gtest.h>
#include <functional>

using namespace tender::server;

// A real store that runs a step of the test between reading a list and handing it back, and whose
// writes of devices' last contact fail while `failing` is set, as a full disk or a lost database would.
class ScriptedStore : public SqliteStore {
public:
    using SqliteStore::SqliteStore;
    std::function<void()> afterListRead;
    bool failing = false;

    std::vector<Contact> contacts(const std::string& owner) override
    {
        auto list = SqliteStore::contacts(owner);
        if (auto step = std::exchange(afterListRead, nullptr))
            step();
        return list;
    }

    void recordDevicesSeen(const std::vector<std::pair<std::string, std::int64_t>>& seen) override
    {
        if (failing)
            throw std::runtime_error("database is locked");
        SqliteStore::recordDevicesSeen(seen);
    }
};

// The database, and the copies in memory that must say what it says after every kind of write.
class StoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* uid : {"owner", "a", "b", "c", "other"})
            ASSERT_TRUE(cached.createUser(
                User{uid, uid + std::string("@example.org"), "CODE" + std::string(uid), std::nullopt, 0}));
    }

    void add(Store& store, const std::string& id, const std::string& owner, const std::string& target)
    {
        store.addContact(Contact{id, owner, target, target, false, 0}, 200);
    }

    tender::testing::TempDir dir;
    ScriptedStore database{dir.path() / "tender.db"};
    CachedStore cached{database};
};

TEST_F(StoreTest, ANewPasswordEndsThatUsersSessionsAndResetCodesOnly)
{
    for (std::string uid : {"a", "b"}) {
        database.addRefreshToken("rt-" + uid, uid);
        database.addResetCode("code-" + uid, uid, 5000);
        database.addResetCode("old-" + uid, uid, 1000);
    }
    database.replacePassword("a", "new-hash");
    auto a = database.userById("a");
    EXPECT_EQ(a->passwordHash, "new-hash");
    EXPECT_EQ(a->sessionEpoch, 1);
    EXPECT_TRUE(database.refreshGrant("rt-a")->revoked);
    EXPECT_EQ(database.purgeExpiredResetCodes(2000), 1u) << "b's expired code; a's are gone already";
    EXPECT_EQ(database.takeResetCode("code-a", 2000), std::nullopt);

    EXPECT_EQ(database.userById("b")->sessionEpoch, 0);
    EXPECT_FALSE(database.refreshGrant("rt-b")->revoked);
    EXPECT_EQ(database.takeResetCode("code-b", 2000), "b");
}

TEST_F(StoreTest, CachedUsersAndListsFollowEveryWrite)
{
    EXPECT_EQ(cached.userById("c")->passwordHash, std::nullopt);
    cached.replacePassword("c", "new-hash");
    EXPECT_EQ(cached.userById("c")->passwordHash, "new-hash");
    EXPECT_EQ(cached.userById("c")->sessionEpoch, 1);
    EXPECT_EQ(cached.userById("nobody"), std::nullopt);
    ASSERT_TRUE(cached.createUser(User{"nobody", "n@example.org", "CODEN", std::nullopt, 0}));
    EXPECT_TRUE(cached.userById("nobody")) << "a miss is not remembered";
    cached.deleteUser("c");
    EXPECT_EQ(cached.userById("c"), std::nullopt);

    EXPECT_EQ(cached.contactTarget("owner", "to-a"), std::nullopt);
    add(cached, "to-a", "owner", "a");
    EXPECT_EQ(cached.contactTarget("owner", "to-a"), "a") << "an entry added after the list was read";
    add(cached, "to-b", "owner", "b");
    add(cached, "other-to-b", "other", "b");
    EXPECT_EQ(cached.contactTarget("owner", "to-b"), "b");
    EXPECT_EQ(cached.contactTarget("other", "other-to-b"), "b");
    EXPECT_EQ(cached.contactTarget("other", "to-b"), std::nullopt) << "another owner's entry";

    ASSERT_TRUE(cached.removeContact("owner", "to-a"));
    EXPECT_EQ(cached.contactTarget("owner", "to-a"), std::nullopt);

    cached.deleteUser("b");
    EXPECT_EQ(cached.contactTarget("owner", "to-b"), std::nullopt) << "entries pointing at a deleted account";
    EXPECT_EQ(cached.contactTarget("other", "other-to-b"), std::nullopt);

    add(cached, "to-other", "owner", "other");
    EXPECT_EQ(cached.contactTarget("owner", "to-other"), "other");
    cached.deleteUser("owner");
    EXPECT_EQ(cached.userById("owner"), std::nullopt);
    EXPECT_EQ(cached.contactTarget("owner", "to-other"), std::nullopt) << "a deleted account's own list";
}

// Lists read one by one or all ahead are served without the database, and still follow writes.
TEST_F(StoreTest, CachedCopiesServeWhatWasReadWithoutTheDatabase)
{
    add(cached, "to-a", "owner", "a");
    add(cached, "to-b", "owner", "b");
    add(cached, "other-to-a", "other", "a");
    ASSERT_EQ(cached.contactTarget("owner", "to-a"), "a");
    ASSERT_TRUE(cached.userById("a"));
    // Behind the copies' back, only to see that they are used.
    database.removeContact("owner", "to-a");
    database.replacePassword("a", "changed");
    EXPECT_EQ(cached.contactTarget("owner", "to-a"), "a");
    EXPECT_EQ(cached.userById("a")->passwordHash, std::nullopt);
    cached.warmLists();
    database.removeContact("other", "other-to-a");
    EXPECT_EQ(cached.contactTarget("other", "other-to-a"), "a");
    EXPECT_EQ(cached.contactTarget("owner", "to-b"), "b");
    EXPECT_EQ(cached.contactTarget("a", "to-b"), std::nullopt) << "an owner without a list";

    ASSERT_TRUE(cached.removeContact("owner", "to-b"));
    EXPECT_EQ(cached.contactTarget("owner", "to-b"), std::nullopt);
}

TEST_F(StoreTest, AWriteBetweenAReadAndItsKeepingLeavesNoStaleCopy)
{
    add(cached, "to-a", "owner", "a");
    database.afterListRead = [&] { ASSERT_TRUE(cached.removeContact("owner", "to-a")); };
    EXPECT_EQ(cached.contactTarget("owner", "to-a"), "a") << "read before the removal";
    EXPECT_EQ(cached.contactTarget("owner", "to-a"), std::nullopt);
}

TEST_F(StoreTest, ABatchOfLastContactsTheDatabaseRefusedIsWrittenNextTime)
{
    for (const char* id : {"d1", "d2"})
        ASSERT_EQ(database.addDevice(Device{id, "a", id, "custom", {"receive"}, std::nullopt},
                      std::string("h") + id, 10),
            AddDeviceOutcome::added);
    LastSeen lastSeen(database);
    lastSeen.touch("d1", 1000);
    lastSeen.touch("d2", 2000);
    database.failing = true;
    EXPECT_THROW(lastSeen.flush(), std::runtime_error);
    lastSeen.touch("d2", 1500); // older than what waits: the newer time stays
    database.failing = false;
    lastSeen.flush();
    auto devices = database.devices("a");
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].lastSeenMs, 1000);
    EXPECT_EQ(devices[1].lastSeenMs, 2000);
}
