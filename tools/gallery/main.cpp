// Renders every screen state the views know into PNG files, on a model built
// on fakes and the offscreen platform, so the UI can be looked at anywhere:
//   tender-gallery <folder>
#include "ViewHarness.h"

#include <QDir>
#include <QGuiApplication>
#include <QTest>
#include <QTextStream>

#include <functional>

using namespace tender;
using namespace tender::test;
using namespace std::chrono_literals;

namespace {

Contact person(const QString &id, const QString &label, qint64 position, bool close = false)
{
    return Contact{id, label, position, close ? std::optional(true) : std::nullopt};
}

const QList<Contact> people{
    person("c1", "Мама", 0, true),        person("c2", "Лёша", 1, true),    person("c3", "Настя", 2, true),
    person("c4", "Бабушка Валя", 3, true), person("c5", "Дима", 4),          person("c6", "Катя из йоги", 5),
    person("c7", "Ольга Петровна", 6),    person("c8", "Сева", 7),          person("c9", "🐱 Кот", 8),
};

struct Shot {
    QString name;
    QList<Contact> contacts; // empty with signedIn false: signed out
    bool signedIn = true;
    std::function<void(ViewHarness &)> before; // before the view is shown
    std::function<void(ViewHarness &)> after;  // with the view on screen
};

void send(ViewHarness &h, const QString &id, int status)
{
    h.model.service.on("POST", "/v1/events", FakeReply::json(status, {}));
    h.click("circle-" + id);
    QTest::qWaitFor([&] { return h.model.service.requests("POST", "/v1/events").size() > 0; }, 3000);
    h.settle();
}

// A browser sign-in that returns with no request pending: the model's problem line.
void failBrowserSignIn(ViewHarness &h)
{
    h.model.model().handle("tender://signin?state=X&uid=u&rt=r");
    QTest::qWaitFor([&] { return h.model.model().problem().has_value(); }, 3000);
}

QList<Shot> shots()
{
    return {
        {"signed-out", {}, false},
        {"empty", {}},
        {"main", people},
        {"main-no-close", {person("c1", "Аня", 0), person("c2", "Борис", 1), person("c3", "Вера", 2)}},
        {"just-sent", people, true, {}, [](ViewHarness &h) { send(h, "c2", 200); }},
        {"anyone-sent", people, true,
         [](ViewHarness &h) { h.model.model().setAnyoneSentAt(h.model.clock.now().addSecs(-30)); }},
        {"paused", people, true, [](ViewHarness &h) { h.model.model().pause(PauseLength::Hour); }},
        {"offline", people, true, {},
         [](ViewHarness &h) {
             h.model.model().connectionChanged(false);
             h.model.clock.advance(5s);
             h.settle();
         }},
        {"problem", people, true, {}, [](ViewHarness &h) { send(h, "c1", 500); }},
        {"search-nobody", people, true, {},
         [](ViewHarness &h) {
             h.item("searchInput")->setProperty("text", "Яков");
             h.settle();
         }},
        {"settings", people, true, [](ViewHarness &h) { h.model.model().setRoute(Route::settings()); }},
        {"signin-browser", {}, false, [](ViewHarness &h) { h.model.model().signInWithGoogle(); }},
        {"signin-email-note", {}, false, {}, [](ViewHarness &h) { h.click("withEmail"); h.click("submit"); }},
        {"signin-problem", {}, false, [](ViewHarness &h) { failBrowserSignIn(h); }},
    };
}

bool render(const Shot &shot, const QDir &folder)
{
    ViewHarness h;
    if (shot.signedIn)
        h.signedInWith(shot.contacts);
    else
        h.signedOut();
    if (shot.before)
        shot.before(h);
    if (!h.show()) {
        QTextStream(stderr) << shot.name << ": " << h.warnings.join('\n') << '\n';
        return false;
    }
    if (shot.after)
        shot.after(h);
    QTest::qWait(400); // animations settle
    const QString path = folder.filePath(shot.name + ".png");
    if (!h.view.grabWindow().save(path))
        return false;
    QTextStream(stdout) << path << '\n';
    return h.warnings.isEmpty();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    qputenv("QT_QUICK_BACKEND", "software");
    if (qgetenv("QT_SCALE_FACTOR").isEmpty())
        qputenv("QT_SCALE_FACTOR", "2");
    QGuiApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    if (argc != 2) {
        QTextStream(stderr) << "usage: tender-gallery <folder>\n";
        return 2;
    }
    QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(".")) {
        QTextStream(stderr) << "cannot create " << folder.path() << '\n';
        return 1;
    }
    int failures = 0;
    for (const Shot &shot : shots())
        failures += render(shot, folder) ? 0 : 1;
    return failures == 0 ? 0 : 1;
}
