#include "ModelHarness.h"

#include "service/SessionFile.h"

#include <QJsonArray>
#include <QSignalSpy>
#include <QTest>

namespace tender::test {

ModelHarness::ModelHarness()
{
    service.on("POST", FakeService::tokenPath, FakeReply::token(QStringLiteral("token")));
}

void ModelHarness::saveSession(const QString &uid, std::optional<QString> email)
{
    SessionFile::write(sessionFile, Session{uid, std::move(email), QStringLiteral("rt")});
}

void ModelHarness::scriptData(const QList<Contact> &contacts)
{
    service.on("GET", QStringLiteral("/v1/me"), FakeReply::json(200, {{"uid", "me"}, {"invite_url", "http://w/i/ABCDE-FGHJK"}}));
    QJsonArray list;
    for (const Contact &contact : contacts)
        list.append(contact.toJson());
    service.on("GET", QStringLiteral("/v1/contacts"), FakeReply::json(200, {{"contacts", list}}));
}

std::unique_ptr<TestModel> ModelHarness::createModel(std::optional<Endpoints> endpoints)
{
    auto recording = std::make_unique<RecordingOverlay>();
    overlay = recording.get();
    return std::make_unique<TestModel>(AppServices{clock, network, endpoints.value_or(service.endpoints()),
                                                   sessionFile, *preferences, loginItem,
                                                   clipboard, browser, sound, presenting, reduceMotion, networkPath,
                                                   std::move(recording)});
}

TestModel &ModelHarness::makeModel(std::optional<Endpoints> endpoints)
{
    model_ = createModel(std::move(endpoints));
    model_->onIconChange = [this] { ++iconChanges; };
    model_->onReceive = [this](QColor color) { received << color; };
    model_->onShowMenu = [this] { ++menuShown; };
    return *model_;
}

TestModel &ModelHarness::makeLoadedModel(const QList<Contact> &contacts)
{
    saveSession();
    scriptData(contacts);
    TestModel &model = makeModel();
    QSignalSpy loaded(&model, &AppModel::contactsChanged);
    model.start();
    if (StreamPeer *peer = awaitPeer(0))
        peer->sendText(R"({"type":"ready"})");
    if (!QTest::qWaitFor([&] { return !loaded.isEmpty(); }, 5000))
        QTest::qFail("the contacts did not load", __FILE__, __LINE__);
    return model;
}

bool ModelHarness::awaitRequests(const QByteArray &method, const QString &path, qsizetype count)
{
    (void)QTest::qWaitFor([&] { return service.requests(method, path).size() >= count; }, 5000);
    QTest::qWait(100);
    return service.requests(method, path).size() == count;
}

std::unique_ptr<Auth> ModelHarness::makeAuth()
{
    return std::make_unique<Auth>(clock, network, service.endpoints(), sessionFile);
}

StreamPeer *ModelHarness::awaitPeer(qsizetype index)
{
    if (!QTest::qWaitFor([&] { return service.peer(index) && service.peer(index)->accepted; }, 5000))
        return nullptr;
    return service.peer(index);
}

} // namespace tender::test
