#include "ModelHarness.h"
#include "records/Palette.h"
#include "service/APIError.h"

using namespace tender;
using namespace tender::test;
using namespace std::chrono_literals;

namespace {

Contact person(int n, const QString &label, std::optional<bool> close = std::nullopt, qint64 position = -1)
{
    return Contact{QString("c%1").arg(n), label, position < 0 ? n : position, close};
}

QStringList ids(const QList<Contact> &contacts)
{
    QStringList list;
    for (const Contact &c : contacts)
        list << c.id;
    return list;
}

// The service's side of the list: "METHOD path body" for every call on contacts or me, in arrival order.
QStringList listCalls(const FakeService &service)
{
    QStringList calls;
    for (const RecordedRequest &r : service.requests()) {
        if (!r.path.startsWith("/v1/contacts") && r.path != "/v1/me")
            continue;
        QString call = QString::fromUtf8(r.method) + ' ' + r.path;
        if (!r.body.isEmpty())
            call += ' ' + QString::fromUtf8(QJsonDocument(r.json()).toJson(QJsonDocument::Compact));
        calls << call;
    }
    return calls;
}

} // namespace

class ContactListTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ModelHarness> h;

private slots:
    void init() { h = std::make_unique<ModelHarness>(); }
    void cleanup() { h.reset(); }

    void coloursComeFromTheStoredChoiceElseThePlace()
    {
        QList<Contact> people;
        for (int n = 0; n < 14; ++n)
            people << person(n, QString("Человек %1").arg(n));
        TestModel &model = h->makeModel(); // the contacts set directly: no service needed
        model.setContacts(people.mid(0, 4));
        QCOMPARE(model.nextColor(), 0);

        // Colours of people who left the list do not count.
        model.setContactColors({{"c0", 0}, {"c1", 1}, {"c3", 3}, {"gone", 2}});
        QCOMPARE(model.nextColor(), 2);

        model.setContacts(people);
        QMap<QString, qint64> all;
        for (int n = 0; n < 12; ++n)
            all.insert(QString("c%1").arg(n), n);
        model.setContactColors(all);
        QCOMPARE(model.nextColor(), 14 % 12);

        // A colour follows the stored choice, else the place in the list.
        const Contact third = person(2, "Вера");
        model.setContacts({person(0, "Аня"), person(1, "Борис"), third});
        model.setContactColors({});
        QCOMPARE(model.color(third), Palette::all[2]);
        Contact stale = third;
        stale.label = "Вера (старое имя)";
        QCOMPARE(model.color(stale), Palette::all[0]);

        // A stored choice is found by id, so it holds for a stale copy too.
        model.setContactColors({{third.id, 17}});
        QCOMPARE(model.color(stale), Palette::all[5]);
    }

    void othersAreOrderedByLastSendThenLabelAndARemovalForgetsBoth()
    {
        const QList<Contact> people = {person(0, "Саша 10"), person(1, "Саша 9"), person(2, "Близкий", true),
                                       person(3, "саша 9"), person(4, "Ёжик"), person(5, "Яна")};
        TestModel &model = h->makeLoadedModel(people);
        QCOMPARE(ids(model.closeContacts()), QStringList{"c2"});
        // Case is ignored, so the two "Саша 9" keep their list order; Ё sorts with Е, before Я.
        QCOMPARE(ids(model.otherContacts()), (QStringList{"c4", "c1", "c3", "c0", "c5"}));
        QCOMPARE(ids(model.contactsByName()), (QStringList{"c2", "c4", "c1", "c3", "c0", "c5"}));

        h->clock.advance(60s);
        QSignalSpy lists(&model, &AppModel::contactListsChanged);
        model.send(people[5]);
        QCOMPARE(lists.size(), 1);
        h->clock.advance(60s);
        model.send(people[0]);
        QCOMPARE(ids(model.otherContacts()), (QStringList{"c0", "c5", "c4", "c1", "c3"}));

        // A removal forgets the person's colour and last send, once the service has agreed.
        model.setContactColors({{"c0", 3}, {"c2", 5}});
        h->service.on("DELETE", "/v1/contacts/c0", FakeReply::json(500, {}));
        QVERIFY_THROWS_EXCEPTION(APIError, await(model.remove(people[0])));
        QCOMPARE(model.contacts().size(), 6);
        QVERIFY(h->defaults.dateDictionary("lastSent")->contains("c0"));
        h->service.on("DELETE", "/v1/contacts/c0", FakeReply{204, {}});
        await(model.remove(people[0]));
        QCOMPARE(ids(model.contacts()), (QStringList{"c1", "c2", "c3", "c4", "c5"}));
        QCOMPARE(model.contacts()[0].position, 1); // renumbered only by the next move
        QCOMPARE(h->defaults.integerDictionary("contactColors"), (QMap<QString, qint64>{{"c2", 5}}));
        QCOMPARE(h->defaults.dateDictionary("lastSent")->keys(), QStringList{"c5"});
    }

    void moveSwapsTwoClosePeopleAndSavesTheirPlaces()
    {
        QList<Contact> people;
        for (int n = 0; n < 7; ++n)
            people << person(n, QString("П%1").arg(n), n == 2 || n == 5 || n == 6);
        TestModel &model = h->makeLoadedModel(people);
        h->service.on("PATCH", "/v1/contacts/c5", FakeReply::json(200, {}));
        h->service.on("PATCH", "/v1/contacts/c2", FakeReply::json(200, {}));

        model.move(people[2], -1); // first close person
        model.move(people[6], +1); // last close person
        model.move(people[0], +1); // not close
        QCOMPARE(model.contacts(), people);

        QSignalSpy changed(&model, &AppModel::contactsChanged);
        model.move(people[2], +1);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(ids(model.contacts()), (QStringList{"c0", "c1", "c5", "c3", "c4", "c2", "c6"}));
        QCOMPARE(model.contacts()[2].position, 2);
        QCOMPARE(model.contacts()[5].position, 5);
        QCOMPARE(ids(model.closeContacts()), (QStringList{"c5", "c2", "c6"}));

        QVERIFY(h->awaitRequests("PATCH", "/v1/contacts/c2", 1));
        QCOMPARE(listCalls(h->service).mid(2),
                 (QStringList{R"(PATCH /v1/contacts/c5 {"position":2})", R"(PATCH /v1/contacts/c2 {"position":5})"}));

        // The copy the caller held is stale now: it is not found.
        model.move(people[2], -1);
        QCOMPARE(changed.size(), 1);
    }

    void aFailedOrderSaveStopsAndReloads()
    {
        // Positions from the service that are not dense are all renumbered by the first move.
        const QList<Contact> people = {person(0, "А", true, 10), person(1, "Б", true, 20), person(2, "В", false, 30)};
        TestModel &model = h->makeLoadedModel(people);
        h->service.on("PATCH", "/v1/contacts/c1", FakeReply::json(500, {{"error", "busy"}}));
        model.move(people[0], +1);
        QCOMPARE(ids(model.contacts()), (QStringList{"c1", "c0", "c2"}));

        QVERIFY(h->awaitRequests("GET", "/v1/contacts", 2));
        QCOMPARE(model.contacts(), people);
        QCOMPARE(model.problem(), QString("Не получилось сохранить порядок")); // kept after the reload
        QCOMPARE(listCalls(h->service).mid(2), (QStringList{R"(PATCH /v1/contacts/c1 {"position":0})",
                                                            "GET /v1/me", "GET /v1/contacts"}));
    }

    void savesKeepTheirOrderAndASyncWaitsForThem()
    {
        const QList<Contact> people = {person(0, "А", true), person(1, "Б", true), person(2, "В", false)};
        TestModel &model = h->makeLoadedModel(people);
        FakeReply refused = FakeReply::json(500, {{"error", "busy"}});
        refused.delayMs = 100;
        h->service.on("PATCH", "/v1/contacts/c2", refused);
        h->service.on("PATCH", "/v1/contacts/c1", FakeReply::json(200, {}));
        h->service.on("PATCH", "/v1/contacts/c0", FakeReply::json(200, {}));

        model.setClose(people[2], true);
        QVERIFY(model.contacts()[2].isClose()); // shown at once
        model.move(model.contacts()[0], +1);
        h->service.last()->sendText(R"({"type":"sync"})");

        QVERIFY(h->awaitRequests("GET", "/v1/contacts", 3));
        QCOMPARE(listCalls(h->service).mid(2),
                 (QStringList{R"(PATCH /v1/contacts/c2 {"close":true})", "GET /v1/me", "GET /v1/contacts",
                              R"(PATCH /v1/contacts/c1 {"position":0})", R"(PATCH /v1/contacts/c0 {"position":1})",
                              "GET /v1/me", "GET /v1/contacts"}));
        QCOMPARE(model.contacts(), people); // the service's version
    }

    // Only what changed is sent; setClose finds the person by id and reloads only when its save fails.
    void editAndSetCloseSendOnlyWhatChanged()
    {
        const QList<Contact> people = {person(0, "Аня"), person(1, "Борис", true)};
        TestModel &model = h->makeLoadedModel(people);
        await(model.updateContact(people[0], "Аня", 4, false));
        QCOMPARE(h->service.requests("PATCH", "/v1/contacts/c0").size(), 0);
        QCOMPARE(h->defaults.integerDictionary("contactColors"), (QMap<QString, qint64>{{"c0", 4}}));
        QCOMPARE(model.contacts()[0].close, std::optional(false)); // now definite

        h->service.on("PATCH", "/v1/contacts/c1", FakeReply::json(200, {}));
        await(model.updateContact(people[1], "Боря", 4, true));
        QCOMPARE(h->service.requests("PATCH", "/v1/contacts/c1").last().json(), (QJsonObject{{"label", "Боря"}}));
        QCOMPARE(model.contacts()[1].label, QString("Боря"));

        h->service.on("PATCH", "/v1/contacts/c1", FakeReply::json(404, {{"error", "not found"}}));
        QVERIFY_THROWS_EXCEPTION(APIError, await(model.updateContact(model.contacts()[1], "Боря", 9, false)));
        QCOMPARE(h->service.requests("PATCH", "/v1/contacts/c1").last().json(), (QJsonObject{{"close", false}}));
        QCOMPARE(model.contacts()[1].close, std::optional(true));
        QCOMPARE(model.contactColors().value("c1"), 4);
        QCOMPARE(model.problem(), std::nullopt);

        h->service.on("PATCH", "/v1/contacts/c0", FakeReply::json(200, {}));
        Contact stale = people[0];
        stale.label = "Старое";
        model.setClose(stale, true);
        QVERIFY(model.contacts()[0].isClose());
        QCOMPARE(model.contacts()[0].label, QString("Аня"));
        QVERIFY(h->awaitRequests("PATCH", "/v1/contacts/c0", 1));
        QCOMPARE(model.problem(), std::nullopt);
        QCOMPARE(h->service.requests("GET", "/v1/contacts").size(), 1);

        model.setClose(person(9, "Нет такого"), true);
        QTest::qWait(50);
        QCOMPARE(h->service.requests("PATCH", "/v1/contacts/c9").size(), 0);

        h->service.on("PATCH", "/v1/contacts/c1", FakeReply::json(500, {}));
        model.setClose(people[1], false);
        QVERIFY(!model.contacts()[1].isClose());
        QVERIFY(h->awaitRequests("GET", "/v1/contacts", 2));
        QCOMPARE(model.contacts(), people);
        QCOMPARE(model.problem(), QString("Не получилось сохранить"));
    }
};

TENDER_TEST_GUILESS_MAIN(ContactListTest)
#include "ContactListTest.moc"
