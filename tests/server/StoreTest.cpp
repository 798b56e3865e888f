#include "store/SqliteStore.h"
#include "support/TempDir.h"
#include <gtest/gtest.h>

namespace tender::server {
namespace {

class StoreTest : public ::testing::Test {
protected:
    std::unique_ptr<SqliteStore> open() { return std::make_unique<SqliteStore>(dir.path() / "tender.db"); }

    void addUser(SqliteStore& store, const std::string& uid)
    {
        ASSERT_TRUE(store.createUser(User{uid, uid + "@example.org", "CODE" + uid, std::nullopt, 0}));
    }

    std::vector<std::string> targets(SqliteStore& store, const std::string& owner)
    {
        std::vector<std::string> list;
        for (const auto& c : store.contacts(owner)) {
            EXPECT_EQ(c.position, static_cast<std::int64_t>(list.size()));
            list.push_back(c.target);
        }
        return list;
    }

    tender::testing::TempDir dir;
};

TEST_F(StoreTest, DeletingAUserClosesTheGapInEveryListThatHeldThem)
{
    auto store = open();
    for (const char* uid : {"owner", "a", "b", "c", "second"})
        addUser(*store, uid);
    for (const char* target : {"a", "b", "c"})
        store->addContact(Contact{std::string("id-") + target, "owner", target, target, false, 0}, 200);
    store->addContact(Contact{"id-s", "second", "b", "b", false, 0}, 200);
    store->addContact(Contact{"id-s2", "second", "c", "c", false, 0}, 200);

    auto owners = store->deleteUser("b");
    std::sort(owners.begin(), owners.end());
    EXPECT_EQ(owners, (std::vector<std::string>{"owner", "second"}));
    EXPECT_EQ(targets(*store, "owner"), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(targets(*store, "second"), (std::vector<std::string>{"c"}));
    EXPECT_FALSE(store->userById("b"));
}

TEST_F(StoreTest, DataAndSchemaSurviveReopening)
{
    {
        auto store = open();
        addUser(*store, "u");
        store->addRefreshToken("hash", "u");
        Device device{"d1", "u", "Лампа", "custom", {"receive", "send"}, std::nullopt};
        ASSERT_EQ(store->addDevice(device, "token-hash", 10), AddDeviceOutcome::added);
        store->recordDevicesSeen({{"d1", 1700000000123}});
    }
    auto store = open();
    EXPECT_EQ(store->refreshGrant("hash")->uid, "u");
    auto device = store->deviceByTokenHash("token-hash");
    ASSERT_TRUE(device);
    EXPECT_EQ(device->capabilities, (std::vector<std::string>{"receive", "send"}));
    EXPECT_EQ(device->lastSeenMs, 1700000000123);
    EXPECT_TRUE(store->reachable());
}

TEST_F(StoreTest, ANewPasswordEndsThatUsersSessionsAndResetCodesOnly)
{
    auto store = open();
    for (const char* uid : {"u", "v"}) {
        addUser(*store, uid);
        store->addRefreshToken(std::string("rt-") + uid, uid);
        store->addResetCode(std::string("code-") + uid, uid, 5000);
        store->addResetCode(std::string("old-") + uid, uid, 1000);
    }
    store->replacePassword("u", "new-hash");
    auto u = store->userById("u");
    EXPECT_EQ(u->passwordHash, "new-hash");
    EXPECT_EQ(u->sessionEpoch, 1);
    EXPECT_TRUE(store->refreshGrant("rt-u")->revoked);
    EXPECT_EQ(store->purgeExpiredResetCodes(2000), 1u) << "v's expired code; u's are gone already";
    EXPECT_EQ(store->takeResetCode("code-u", 2000), std::nullopt);

    EXPECT_EQ(store->userById("v")->sessionEpoch, 0);
    EXPECT_FALSE(store->refreshGrant("rt-v")->revoked);
    EXPECT_EQ(store->takeResetCode("code-v", 2000), "v");
}

}
}
