#include "TestMain.h"
#include "ViewHarness.h"
#include "service/Auth.h"

#include <QQmlEngine>
#include <QtTest>

using namespace tender;
using namespace tender::test;

namespace {

const QString signInPath = QStringLiteral("/identitytoolkit/v1/accounts:signInWithPassword");
const QString signUpPath = QStringLiteral("/identitytoolkit/v1/accounts:signUp");
const QString resetPath = QStringLiteral("/identitytoolkit/v1/accounts:sendOobCode");

FakeReply signedInAs(const QString &email, int delayMs = 0)
{
    FakeReply reply = FakeReply::json(200, {{"localId", "u1"}, {"idToken", "token"}, {"refreshToken", "rt"},
                                            {"email", email}, {"expiresIn", "3600"}});
    reply.delayMs = delayMs;
    return reply;
}

} // namespace

// The sign-in screen: what it refuses before asking anyone, what it sends, and
// what it shows while and after the identity provider answers.
class SignInViewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ViewHarness> h;

    int identityCalls() const
    {
        int count = 0;
        for (const RecordedRequest &request : h->model.service.requests())
            count += request.path.startsWith(u"/identitytoolkit/") ? 1 : 0;
        return count;
    }

    void type(const QString &objectName, const QString &text)
    {
        QQuickItem *input = h->shown(objectName);
        QVERIFY2(input, qPrintable(objectName));
        input->setProperty("text", text);
        h->settle();
    }

    void pressReturnIn(const QString &objectName)
    {
        QQuickItem *input = h->shown(objectName);
        QVERIFY2(input, qPrintable(objectName));
        input->forceActiveFocus();
        QTest::keyClick(&h->view, Qt::Key_Return);
        h->settle();
    }

    void openEmailForm()
    {
        h->signedOut();
        QVERIFY(h->show());
        h->click("withEmail");
        QVERIFY(h->isShown("emailInput"));
        QVERIFY(!h->isShown("google"));
    }

    QString note() const { return h->isShown("signInNote") ? h->text("signInNote") : QString(); }

private slots:
    void init() { h = std::make_unique<ViewHarness>(); }
    void cleanup() { h.reset(); }

    void badInputIsRefusedWithoutAnyCall()
    {
        openEmailForm();
        type("emailInput", "   ");
        type("passwordInput", "12345678");
        h->click("submit");
        QCOMPARE(note(), QString("Введи почту"));
        h->click("forgotPassword");
        QCOMPARE(note(), QString("Сначала введи почту"));

        type("emailInput", "  anna@example.org ");
        type("passwordInput", "1234567");
        h->click("submit");
        QCOMPARE(note(), QString("Пароль нужен не короче 8 символов"));
        // Seven characters, one of them an emoji of two UTF-16 units.
        type("passwordInput", "пароль😀");
        h->click("submit");
        QCOMPARE(note(), QString("Пароль нужен не короче 8 символов"));
        QCOMPARE(identityCalls(), 0);

        h->model.service.on("POST", signInPath, signedInAs("anna@example.org"));
        type("passwordInput", "пароль😀!");
        h->click("submit");
        QTRY_COMPARE(h->model.service.requests("POST", signInPath).size(), 1);
        const QJsonObject body = h->model.service.requests("POST", signInPath).first().json();
        QCOMPARE(body.value("email").toString(), QString("anna@example.org"));
        QCOMPARE(body.value("password").toString(), QString("пароль😀!"));
    }

    void returnInThePasswordRunsSubmitOnceWhileBusy()
    {
        openEmailForm();
        type("emailInput", "anna@example.org");
        type("passwordInput", "short");
        pressReturnIn("passwordInput");
        QCOMPARE(note(), QString("Пароль нужен не короче 8 символов"));
        QCOMPARE(identityCalls(), 0);

        h->model.service.on("POST", signInPath, signedInAs("anna@example.org", 800));
        type("passwordInput", "long enough");
        pressReturnIn("passwordInput");
        QTRY_COMPARE(h->model.service.requests("POST", signInPath).size(), 1);
        QCOMPARE(h->text("submit"), QString("Входим…"));
        QVERIFY(!h->shown("submit")->isEnabled());
        QVERIFY(!h->isShown("signInNote")); // the validation note went with the new attempt
        h->click("submit");
        pressReturnIn("passwordInput");
        QTest::qWait(100);
        QCOMPARE(h->model.service.requests("POST", signInPath).size(), 1);
        QTRY_VERIFY(h->isShown("mainView"));
    }

    void aFailedSignInShowsWhyInRussianAndFreesTheButton()
    {
        openEmailForm();
        h->model.service.on("POST", signInPath, FakeReply::identityError("EMAIL_NOT_FOUND"));
        h->model.service.on("POST", signUpPath, FakeReply::identityError("EMAIL_EXISTS"));
        type("emailInput", "anna@example.org");
        type("passwordInput", "wrong password");
        h->click("submit");
        QTRY_COMPARE(note(), QString("Неверный пароль"));
        QCOMPARE(h->text("submit"), QString("Войти или создать аккаунт"));
        QVERIFY(h->shown("submit")->isEnabled());
        QVERIFY(!h->model.model().signedIn());

        h->model.service.on("POST", signInPath, FakeReply::identityError("TOO_MANY_ATTEMPTS_TRY_LATER : wait"));
        h->click("submit");
        QTRY_COMPARE(note(), QString("Слишком много попыток, попробуй чуть позже"));
    }

    void passwordResetConfirmsOrExplains()
    {
        openEmailForm();
        h->model.service.on("POST", resetPath, FakeReply::json(200, {{"email", "anna@example.org"}}));
        type("emailInput", " anna@example.org ");
        h->click("forgotPassword");
        QTRY_COMPARE(note(), QString("Письмо для нового пароля отправлено"));
        const QJsonObject body = h->model.service.requests("POST", resetPath).first().json();
        QCOMPARE(body.value("email").toString(), QString("anna@example.org"));
        QCOMPARE(body.value("requestType").toString(), QString("PASSWORD_RESET"));
        QCOMPARE(h->text("submit"), QString("Войти или создать аккаунт")); // a reset shows no progress

        h->model.service.on("POST", resetPath, FakeReply::identityError("INVALID_EMAIL"));
        h->click("forgotPassword");
        QTRY_COMPARE(note(), QString("Проверь адрес почты"));
    }

    void theScreensOwnNoteWinsOverTheModelsProblem()
    {
        TestModel &model = h->signedOut();
        QVERIFY(h->show());
        QVERIFY(!h->isShown("signInNote"));
        // A browser sign-in that comes back without a pending request.
        model.handle("tender://signin?state=X&uid=u&rt=r");
        const QString problem("Вход не завершился, попробуй ещё раз");
        QTRY_COMPARE(note(), problem);
        QVERIFY(h->isShown("google"));

        h->click("withEmail");
        QCOMPARE(note(), problem);
        h->click("submit");
        QCOMPARE(note(), QString("Введи почту"));
        h->click("signInBack");
        QVERIFY(h->isShown("google"));
        QCOMPARE(note(), problem);
    }

    void backReturnsToTheChoicesWithoutANote()
    {
        openEmailForm();
        h->click("submit");
        QVERIFY(h->isShown("signInNote"));
        h->click("signInBack");
        QVERIFY(h->isShown("google"));
        QVERIFY(h->isShown("withEmail"));
        QVERIFY(!h->isShown("emailInput"));
        QVERIFY(!h->isShown("signInNote"));
    }

    void googleGoesThroughTheBrowser()
    {
        openEmailForm();
        h->click("submit");
        h->click("signInBack");
        QCOMPARE(h->text("googleLabel"), QString("Войти через Google"));
        h->click("google");
        QCOMPARE(h->model.browser.opened.size(), 1);
        QVERIFY(h->model.browser.opened.first().toString().contains("/signin?state="));
        QCOMPARE(h->text("googleLabel"), QString("Продолжи в браузере…"));
        QVERIFY(!h->isShown("signInNote"));
    }

    void signingInShowsTheMainViewAndSigningOutStartsAfresh()
    {
        openEmailForm();
        h->model.service.on("POST", signInPath, signedInAs("anna@example.org"));
        type("emailInput", "anna@example.org");
        type("passwordInput", "long enough");
        h->click("submit");
        QTRY_VERIFY(h->isShown("mainView"));
        TestModel &model = h->model.model();
        QVERIFY(model.signedIn());
        QCOMPARE(model.email(), std::optional<QString>("anna@example.org"));
        QCOMPARE(model.auth().session()->uid, QString("u1"));

        model.signOut();
        h->settle();
        QVERIFY(h->isShown("signInView"));
        QVERIFY(h->isShown("google"));
        QVERIFY(!h->isShown("emailInput"));
        h->click("withEmail");
        QCOMPARE(h->shown("emailInput")->property("text").toString(), QString());
        QCOMPARE(h->shown("passwordInput")->property("text").toString(), QString());
        QCOMPARE(h->text("submit"), QString("Войти или создать аккаунт"));
    }

    void closeAsksTheEngineToQuit()
    {
        h->signedOut();
        QVERIFY(h->show());
        QSignalSpy quit(h->view.engine(), &QQmlEngine::quit);
        h->click("quit");
        QCOMPARE(quit.size(), 1);
    }
};

TENDER_TEST_MAIN(SignInViewTest)
#include "SignInViewTest.moc"
