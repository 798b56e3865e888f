#include "ViewHarness.h"

#include <QQmlEngine>

using namespace tender;
using namespace tender::test;

namespace {

const QString signInPath = FakeService::signInPath;
const QString resetPath = QStringLiteral("/identitytoolkit/v1/accounts:sendOobCode");
const QString submitTitle = QStringLiteral("Войти или создать аккаунт");
const QString shortPassword = QStringLiteral("Пароль нужен не короче 8 символов");

} // namespace

// The sign-in screen: what it refuses before asking anyone, what it sends, and
// what it shows while and after the identity provider answers.
class SignInViewTest : public ViewTest {
    Q_OBJECT

    void pressReturnInPassword()
    {
        h->shown("passwordInput")->forceActiveFocus();
        QTest::keyClick(&h->view, Qt::Key_Return);
        h->settle();
    }

    QString note() const { return h->isShown("signInNote") ? h->text("signInNote") : QString(); }

private slots:
    void badInputIsRefusedWithoutAnyCallAndReturnSignsInOnceAndSigningOutStartsAfresh()
    {
        h->model.makeModel();
        QVERIFY(h->show());
        h->click("withEmail");
        QCOMPARE(h->showing({"emailInput", "google"}), QStringList{"emailInput"});
        // The e-mail, the password, the button ("" for Return in the password) and the note.
        const QList<std::tuple<QString, QString, QString, QString>> refusals{
            {"   ", "12345678", "submit", "Введи почту"},
            {"   ", "12345678", "forgotPassword", "Сначала введи почту"},
            {"  anna@example.org ", "1234567", "", shortPassword},
            {"  anna@example.org ", "пароль😀", "submit", shortPassword}}; // 7 characters, 8 UTF-16 units
        for (const auto &[email, password, button, why] : refusals) {
            h->setText("emailInput", email);
            h->setText("passwordInput", password);
            button.isEmpty() ? pressReturnInPassword() : h->click(button);
            QCOMPARE(note(), why);
        }
        QVERIFY(h->service.requests().isEmpty());

        FakeReply slow = FakeReply::account("u1", "anna@example.org");
        slow.delayMs = 800;
        h->service.on("POST", signInPath, slow);
        h->setText("passwordInput", "пароль😀!");
        pressReturnInPassword();
        QTRY_COMPARE(h->service.requests("POST", signInPath).size(), 1);
        QCOMPARE(h->service.requests("POST", signInPath).first().json(),
                 QJsonObject({{"email", "anna@example.org"}, {"password", "пароль😀!"},
                              {"returnSecureToken", true}}));
        QCOMPARE(h->text("submit"), QString("Входим…"));
        QVERIFY(!h->shown("submit")->isEnabled());
        QVERIFY(!h->isShown("signInNote")); // the validation note went with the new attempt
        h->click("submit");
        pressReturnInPassword();
        QTest::qWait(100);
        QCOMPARE(h->service.requests("POST", signInPath).size(), 1);
        QTRY_VERIFY(h->isShown("mainView"));

        h->app().signOut();
        h->settle();
        QCOMPARE(h->showing({"signInView", "google", "emailInput"}), QStringList({"signInView", "google"}));
        h->click("withEmail");
        QCOMPARE(h->texts({"emailInput", "passwordInput", "submit"}), (QStringList{"", "", submitTitle}));
    }

    void theScreensOwnNoteWinsOverTheModelsProblemGoogleUsesTheBrowserAndAFailedSignInSaysWhy()
    {
        h->model.makeModel();
        QVERIFY(h->show());
        QVERIFY(!h->isShown("signInNote"));
        // A browser sign-in that comes back without a pending request.
        h->app().handle("tender://signin?state=X&uid=u&rt=r");
        const QString problem("Вход не завершился, попробуй ещё раз");
        QTRY_COMPARE(note(), problem);
        QVERIFY(h->isShown("google"));

        h->click("withEmail");
        QCOMPARE(note(), problem);
        h->click("submit");
        QCOMPARE(note(), QString("Введи почту"));
        h->click("signInBack");
        QCOMPARE(h->showing({"google", "withEmail", "emailInput"}), QStringList({"google", "withEmail"}));
        QCOMPARE(note(), problem);

        QCOMPARE(h->text("googleLabel"), QString("Войти через Google"));
        h->click("google");
        QCOMPARE(h->model.browser.opened.size(), 1);
        QVERIFY(h->model.browser.opened.first().toString().contains("/signin?state="));
        QCOMPARE(h->text("googleLabel"), QString("Продолжи в браузере…"));
        QCOMPARE(note(), problem); // and no note of its own

        QSignalSpy quit(h->view.engine(), &QQmlEngine::quit);
        h->click("quit");
        QCOMPARE(quit.size(), 1);

        // A failed sign-in says why and frees the button; a reset confirms or explains.
        h->click("withEmail");
        h->service.on("POST", signInPath, FakeReply::identityError("EMAIL_NOT_FOUND"));
        h->service.on("POST", FakeService::signUpPath, FakeReply::identityError("EMAIL_EXISTS"));
        h->setText("emailInput", "anna@example.org");
        h->setText("passwordInput", "wrong password");
        h->click("submit");
        QTRY_COMPARE(note(), QString("Неверный пароль"));
        QCOMPARE(h->text("submit"), submitTitle);
        QVERIFY(h->shown("submit")->isEnabled());
        QVERIFY(!h->app().signedIn());

        h->service.on("POST", resetPath, FakeReply::json(200, {{"email", "anna@example.org"}}));
        h->setText("emailInput", " anna@example.org ");
        h->click("forgotPassword");
        QTRY_COMPARE(note(), QString("Письмо для нового пароля отправлено"));
        QCOMPARE(h->service.requests("POST", resetPath).first().json(),
                 QJsonObject({{"email", "anna@example.org"}, {"requestType", "PASSWORD_RESET"}}));
        QCOMPARE(h->text("submit"), submitTitle); // a reset shows no progress

        h->service.on("POST", resetPath, FakeReply::identityError("INVALID_EMAIL"));
        h->click("forgotPassword");
        QTRY_COMPARE(note(), QString("Проверь адрес почты"));
    }
};

TENDER_TEST_MAIN(SignInViewTest)
#include "SignInViewTest.moc"
