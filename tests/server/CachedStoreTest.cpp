#include "identity/VerifiedTokens.h"
#include "store/CachedStore.h"
#include "store/SqliteStore.h"
#include "support/TempDir.h"
#include <gtest/gtest.h>
#include <functional>
#include <utility>

namespace tender::server {
namespace {

// The copies in memory must say what the database says after every kind of write.
class CachedStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* uid : {"owner", "a", "b", "other"})
            ASSERT_TRUE(cached.createUser(User{uid, std::string(uid) + "@example.org", std::string("CODE") + uid,
                std::nullopt, 0}));
    }

    Contact entry(const std::string& id, const std::string& owner, const std::string& target)
    {
        return Contact{id, owner, target, target, false, 0};
    }

    tender::testing::TempDir dir;
    SqliteStore database{dir.path() / "tender.db"};
    CachedStore cached{database};
};

TEST_F(CachedStoreTest, ListsFollowAddingRemovingAndDeletedAccounts)
{
    EXPECT_EQ(cached.contactTarget("owner", "to-a"), std::nullopt);
    cached.addContact(entry("to-a", "owner", "a"), 200);
    EXPECT_EQ(cached.contactTarget("owner", "to-a"), "a") << "an entry added after the list was read";
    cached.addContact(entry("to-b", "owner", "b"), 200);
    cached.addContact(entry("other-to-b", "other", "b"), 200);
    EXPECT_EQ(cached.contactTarget("owner", "to-b"), "b");
    EXPECT_EQ(cached.contactTarget("other", "other-to-b"), "b");
    EXPECT_EQ(cached.contactTarget("other", "to-b"), std::nullopt) << "another owner's entry";

    ASSERT_TRUE(cached.removeContact("owner", "to-a"));
    EXPECT_EQ(cached.contactTarget("owner", "to-a"), std::nullopt);

    cached.deleteUser("b");
    EXPECT_EQ(cached.contactTarget("owner", "to-b"), std::nullopt) << "entries pointing at a deleted account";
    EXPECT_EQ(cached.contactTarget("other", "other-to-b"), std::nullopt);

    cached.addContact(entry("to-other", "owner", "other"), 200);
    EXPECT_EQ(cached.contactTarget("owner", "to-other"), "other");
    cached.deleteUser("owner");
    EXPECT_EQ(cached.userById("owner"), std::nullopt);
    EXPECT_EQ(cached.contactTarget("owner", "to-other"), std::nullopt) << "a deleted account's own list";
}

TEST_F(CachedStoreTest, WhatWasReadIsServedWithoutTheDatabase)
{
    cached.addContact(entry("to-a", "owner", "a"), 200);
    ASSERT_EQ(cached.contactTarget("owner", "to-a"), "a");
    ASSERT_TRUE(cached.userById("a"));
    database.removeContact("owner", "to-a"); // behind the copies' back, only to see that they are used
    database.replacePassword("a", "changed");
    EXPECT_EQ(cached.contactTarget("owner", "to-a"), "a");
    EXPECT_EQ(cached.userById("a")->passwordHash, std::nullopt);
}

TEST_F(CachedStoreTest, ListsReadAheadServeEveryEntryAndStillFollowWrites)
{
    cached.addContact(entry("to-a", "owner", "a"), 200);
    cached.addContact(entry("to-b", "owner", "b"), 200);
    cached.addContact(entry("other-to-a", "other", "a"), 200);
    cached.warmLists();
    database.removeContact("owner", "to-a"); // behind the copies' back, only to see that they are used
    database.removeContact("other", "other-to-a");
    EXPECT_EQ(cached.contactTarget("owner", "to-a"), "a");
    EXPECT_EQ(cached.contactTarget("owner", "to-b"), "b");
    EXPECT_EQ(cached.contactTarget("other", "other-to-a"), "a");
    EXPECT_EQ(cached.contactTarget("a", "to-b"), std::nullopt) << "an owner without a list";

    ASSERT_TRUE(cached.removeContact("owner", "to-b"));
    EXPECT_EQ(cached.contactTarget("owner", "to-b"), std::nullopt);
}

TEST_F(CachedStoreTest, UsersFollowPasswordChangesAndDeletion)
{
    ASSERT_TRUE(cached.userById("a"));
    EXPECT_EQ(cached.userById("a")->passwordHash, std::nullopt);
    cached.replacePassword("a", "new-hash");
    EXPECT_EQ(cached.userById("a")->passwordHash, "new-hash");
    EXPECT_EQ(cached.userById("a")->sessionEpoch, 1);
    EXPECT_EQ(cached.userById("nobody"), std::nullopt);
    ASSERT_TRUE(cached.createUser(User{"nobody", "n@example.org", "CODEN", std::nullopt, 0}));
    EXPECT_TRUE(cached.userById("nobody")) << "a miss is not remembered";
    cached.deleteUser("a");
    EXPECT_EQ(cached.userById("a"), std::nullopt);
}

// Runs a step of the test between reading a list and handing it back.
class InterleavingStore : public SqliteStore {
public:
    using SqliteStore::SqliteStore;
    std::function<void()> afterListRead;

    std::vector<Contact> contacts(const std::string& owner) override
    {
        auto list = SqliteStore::contacts(owner);
        if (auto step = std::exchange(afterListRead, nullptr))
            step();
        return list;
    }
};

TEST(CachedStoreRace, AWriteBetweenAReadAndItsKeepingLeavesNoStaleCopy)
{
    tender::testing::TempDir dir;
    InterleavingStore database(dir.path() / "tender.db");
    CachedStore cached(database);
    for (const char* uid : {"owner", "a"})
        ASSERT_TRUE(cached.createUser(User{uid, std::string(uid) + "@example.org", std::string("CODE") + uid,
            std::nullopt, 0}));
    cached.addContact(Contact{"to-a", "owner", "a", "a", false, 0}, 200);
    database.afterListRead = [&] { ASSERT_TRUE(cached.removeContact("owner", "to-a")); };
    EXPECT_EQ(cached.contactTarget("owner", "to-a"), "a") << "read before the removal";
    EXPECT_EQ(cached.contactTarget("owner", "to-a"), std::nullopt);
}

TEST(VerifiedTokens, ARememberedTokenStillExpiresAndAlteredTokensFail)
{
    IdTokens tokens(std::string(32, 'k'));
    VerifiedTokens verified(tokens);
    auto token = tokens.issue("uid", "u@example.org", 1000);
    ASSERT_TRUE(verified.verify(token, 1000));
    EXPECT_EQ(verified.verify(token, 1001)->uid, "uid");
    EXPECT_EQ(verified.verify(token, 1000 + IdTokens::lifetimeSeconds), std::nullopt);

    auto altered = token;
    altered[altered.find('.') + 3] ^= 1;
    EXPECT_EQ(verified.verify(altered, 1001), std::nullopt);
    auto foreign = IdTokens(std::string(32, 'x')).issue("uid", "u@example.org", 1000);
    EXPECT_EQ(verified.verify(foreign, 1001), std::nullopt);
}

}
}
