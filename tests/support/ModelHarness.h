#pragma once

#include "Await.h"
#include "FakeClipboard.h"
#include "FakeLoginItem.h"
#include "FakeNetworkPathMonitor.h"
#include "FakePresenting.h"
#include "FakeReduceMotion.h"
#include "FakeService.h"
#include "FakeSoundPlayer.h"
#include "FakeUrlOpener.h"
#include "ManualClock.h"
#include "RecordingNetwork.h"
#include "RecordingOverlay.h"
#include "TestMain.h"
#include "model/AppModel.h"
#include "platform/JsonPreferencesStore.h"
#include "service/Auth.h"

#include <QTemporaryDir>
#include <QtTest>

namespace tender::test {

// Compares the named properties of `object`; a failure names the property.
inline void expectProperties(const QObject &object, const QVariantMap &expected)
{
    for (const auto &[name, value] : expected.asKeyValueRange())
        QCOMPARE((std::pair{name, object.property(qPrintable(name))}), (std::pair{name, value}));
}

// The model as the tests see it: the stream's reports can be driven directly.
class TestModel : public AppModel {
public:
    using AppModel::AppModel;
    using AppModel::afterSaves;
    using AppModel::connectionChanged;
    using AppModel::receive;
    using AppModel::setContacts;
    using AppModel::setProblem;
};

// An AppModel on fakes of every platform service (its preferences in a real
// file), talking to a scripted service on loopback, on a manual clock; the
// service layer's tests use its parts without the model. Including it brings
// the test main, QtTest and await().
class ModelHarness {
public:
    ModelHarness();

    // A saved session for the next model, and the token refresh it will need.
    void saveSession(const QString &uid = QStringLiteral("me"), std::optional<QString> email = QStringLiteral("me@b.c"));
    // Answers for GET v1/me and v1/contacts.
    void scriptData(const QList<Contact> &contacts);
    // Talks to the fake service, or to `endpoints` (the real one).
    TestModel &makeModel(std::optional<Endpoints> endpoints = std::nullopt);
    // A model the caller owns, on the same fakes (no callbacks set).
    std::unique_ptr<TestModel> createModel(std::optional<Endpoints> endpoints = std::nullopt);
    // A model signed in and online, with `contacts` loaded by the stream's first "ready";
    // the test fails when they do not load.
    TestModel &makeLoadedModel(const QList<Contact> &contacts);
    TestModel &model() { return *model_; }
    void dropModel() { model_.reset(); }
    // Waits (in real time) for the stream to open its next connection and accepts it.
    StreamPeer *awaitPeer(qsizetype index);
    // Waits until the service has answered `count` such requests and the model has
    // had time to take the answers in; false when another number arrives.
    bool awaitRequests(const QByteArray &method, const QString &path, qsizetype count);
    // Signs in with the saved session, on the fake service.
    std::unique_ptr<Auth> makeAuth();

    QTemporaryDir dir;
    ManualClock clock;
    FakeService service;
    RecordingNetwork network;
    JsonPreferencesStore defaults{dir.filePath(QStringLiteral("preferences.json"))};
    FakeLoginItem loginItem;
    FakeClipboard clipboard;
    FakeUrlOpener browser;
    FakeSoundPlayer sound;
    FakePresenting presenting;
    FakeReduceMotion reduceMotion;
    FakeNetworkPathMonitor networkPath;
    // Where the next model keeps its preferences and session; a restart test
    // points two harnesses at the same ones.
    PreferencesStore *preferences = &defaults;
    QString sessionFile = dir.filePath(QStringLiteral("session.json"));
    RecordingOverlay *overlay = nullptr; // owned by the model
    int iconChanges = 0;
    QList<QColor> received;
    int menuShown = 0;

private:
    std::unique_ptr<TestModel> model_;
};

} // namespace tender::test
