// Renders every screen state the views know into PNG files, on a model built
// on fakes and the offscreen platform, so the UI can be looked at anywhere:
//   tender-gallery <folder>
// or shows the states named on standard input one at a time, each until the
// next line, printing "shown <name>" once it is up (for accessibility checks):
//   tender-gallery --serve
#include "ViewHarness.h"

#include <QDir>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QJsonArray>
#include <QGuiApplication>
#include <QTemporaryFile>
#include <QTest>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

#include <unistd.h>

using namespace tender;
using namespace tender::test;
using namespace std::chrono_literals;

namespace {

const QList<Contact> family{
    person("c1", "Мама", 0, true),        person("c2", "Лёша", 1, true),    person("c3", "🌻 Настя", 2, true),
    person("c4", "Бабушка Валя", 3, true), person("c5", "Дима", 4),          person("c6", "Катя из йоги 🧘", 5),
    person("c7", "Ольга Петровна", 6),    person("c8", "Сева", 7),          person("c9", "🐱 Кот", 8),
};

struct Shot {
    QString name;
    QList<Contact> contacts; // empty with signedIn false: signed out
    bool signedIn = true;
    std::function<void(ViewHarness &)> before; // before the view is shown
    std::function<void(ViewHarness &)> after;  // with the view on screen
};

// Waits for what a step brings about; a state that never comes fails the shot.
void until(ViewHarness &h, const std::function<bool()> &condition, const char *what)
{
    if (!QTest::qWaitFor(condition, 20000))
        h.warnings << QStringLiteral("never came: %1").arg(QLatin1String(what));
}

void send(ViewHarness &h, const QString &id, int status)
{
    h.model.service.on("POST", "/v1/events", FakeReply::json(status, {}));
    h.click("circle-" + id);
    until(h, [&] { return h.model.service.requests("POST", "/v1/events").size() > 0; }, "the heart");
    h.settle();
}

void type(ViewHarness &h, const QString &input, const QString &text)
{
    h.shown(input)->setProperty("text", text);
    h.settle();
}

void failSave(ViewHarness &h)
{
    h.model.service.on("POST", "/v1/contacts", FakeReply::json(409, {{"error", "already in the list"}}));
    type(h, "nameInput", "Лена");
    h.click("save");
    until(h, [&] { return h.isShown("formError"); }, "the form's error");
}

// The devices tab of the settings, after the service listed `devices`.
void openDevices(ViewHarness &h)
{
    h.click("tab-2");
    until(h, [&] { return !h.model.service.requests("GET", "/v1/devices").isEmpty(); }, "the devices");
    h.settle();
}

void scriptDevices(ViewHarness &h)
{
    h.model.model().setRoute(Route::settings());
    QJsonArray devices{
        QJsonObject{{"id", "d1"}, {"name", "Котик на полке"}, {"capabilities", QJsonArray{"receive", "send"}},
                    {"last_seen_at", h.model.clock.now().addSecs(-300).toString(Qt::ISODateWithMs)}},
        QJsonObject{{"id", "d2"}, {"name", "Кнопка у двери"}, {"capabilities", QJsonArray{"send"}}},
    };
    h.model.service.on("GET", "/v1/devices", FakeReply::json(200, {{"devices", devices}}));
}

void clickInside(ViewHarness &h, const QString &parent, const QString &child)
{
    QQuickItem *target = h.shown(parent)->findChild<QQuickItem *>(child);
    QTest::mouseClick(&h.view, Qt::LeftButton, {},
                      target->mapToScene(QPointF(target->width() / 2, target->height() / 2)).toPoint());
    h.settle();
}

// A browser sign-in that returns with no request pending: the model's problem line.
void failBrowserSignIn(ViewHarness &h)
{
    h.model.model().handle("tender://signin?state=X&uid=u&rt=r");
    until(h, [&] { return h.model.model().problem().has_value(); }, "the problem line");
}

QList<Shot> shots()
{
    return {
        {"signed-out", {}, false},
        {"empty", {}},
        {"main", family},
        {"main-no-close", {person("c1", "Аня", 0), person("c2", "Борис", 1), person("c3", "Вера", 2)}},
        {"just-sent", family, true, {}, [](ViewHarness &h) { send(h, "c2", 200); }},
        {"anyone-sent", family, true,
         [](ViewHarness &h) { h.model.model().setAnyoneSentAt(h.model.clock.now().addSecs(-30)); }},
        {"paused", family, true, [](ViewHarness &h) { h.model.model().pause(PauseLength::Hour); }},
        {"offline", family, true, {},
         [](ViewHarness &h) {
             h.model.model().connectionChanged(false);
             h.model.clock.advance(5s);
             h.settle();
         }},
        {"problem", family, true, {}, [](ViewHarness &h) { send(h, "c1", 500); }},
        {"search-nobody", family, true, {},
         [](ViewHarness &h) {
             h.item("searchInput")->setProperty("text", "Яков");
             h.settle();
         }},
        {"settings", family, true, [](ViewHarness &h) { h.model.model().setRoute(Route::settings()); }},
        {"book", family, true, [](ViewHarness &h) { h.model.model().setRoute(Route::book()); }},
        {"book-search", family, true, [](ViewHarness &h) { h.model.model().setRoute(Route::book()); }, [](ViewHarness &h) { type(h, "searchInput", "а"); }},
        {"add-empty", family, true, [](ViewHarness &h) { h.model.model().setRoute(Route::add()); }},
        {"add-invite", family, true, [](ViewHarness &h) { h.model.model().setRoute(Route::add("ABCDE-FGHJK")); }, [](ViewHarness &h) { type(h, "nameInput", "Лена"); }},
        {"edit", family, true, [](ViewHarness &h) { h.model.model().setRoute(Route::edit("c5")); }},
        {"edit-remove", family, true, [](ViewHarness &h) { h.model.model().setRoute(Route::edit("c2")); }, [](ViewHarness &h) { h.click("removeAsk"); }},
        {"save-error", family, true, [](ViewHarness &h) { h.model.model().setRoute(Route::add("ABCDE-FGHJK")); }, failSave},
        {"settings-calm", family, true, [](ViewHarness &h) { h.model.model().setRoute(Route::settings()); h.model.model().setCalm(true); }},
        {"settings-when", family, true, [](ViewHarness &h) { h.model.model().setRoute(Route::settings()); }, [](ViewHarness &h) { h.click("tab-1"); }},
        {"settings-when-paused", family, true, [](ViewHarness &h) { h.model.model().setRoute(Route::settings()); h.model.model().pause(PauseLength::Morning); }, [](ViewHarness &h) { h.click("tab-1"); }},
        {"settings-delete-error", family, true, [](ViewHarness &h) { h.model.model().setRoute(Route::settings()); h.model.service.on("DELETE", "/v1/me", FakeReply::json(500, {})); }, [](ViewHarness &h) { h.click("deleteAccount"); h.click("deleteForever"); until(h, [&] { return h.isShown("deleteError"); }, "the deletion's error"); }},
        {"devices", family, true, scriptDevices, openDevices},
        {"devices-removal", family, true, scriptDevices, [](ViewHarness &h) { openDevices(h); clickInside(h, "device-d1", "askRemove"); }},
        {"devices-token", family, true, [](ViewHarness &h) { scriptDevices(h); h.model.service.on("POST", "/v1/devices", FakeReply::json(201, {{"device", QJsonObject{{"id", "d3"}, {"name", "Лампа в спальне"}, {"capabilities", QJsonArray{"receive"}}}}, {"token", "tdv_7Qm2ZkR4xN8pLw3sYb6TfH1cJ9aVe5Ud0GgKoXiBrMnE"}})); }, [](ViewHarness &h) { openDevices(h); h.shown("deviceName")->forceActiveFocus(); for (QChar c : QStringLiteral("Лампа в спальне")) QTest::sendKeyEvent(QTest::Click, &h.view, Qt::Key_unknown, QString(c), Qt::NoModifier); h.click("pair"); until(h, [&] { return h.isShown("tokenCard"); }, "the token card"); h.click("copyToken"); }},
        {"signin-browser", {}, false, [](ViewHarness &h) { h.model.model().signInWithGoogle(); }},
        {"signin-email-note", {}, false, {}, [](ViewHarness &h) { h.click("withEmail"); type(h, "passwordInput", "secret-password"); h.click("submit"); }},
        {"signin-problem", {}, false, [](ViewHarness &h) { failBrowserSignIn(h); }},
    };
}

// Shows the shot's state; false when its QML failed.
bool stage(const Shot &shot, ViewHarness &h)
{
    if (shot.signedIn)
        h.signedInWith(shot.contacts);
    else
        h.model.makeModel();
    if (shot.before)
        shot.before(h);
    if (!h.show()) {
        QTextStream(stderr) << shot.name << ": " << h.warnings.join('\n') << '\n';
        return false;
    }
    if (shot.after)
        shot.after(h);
    QTest::qWait(400); // animations settle
    return true;
}

bool render(const Shot &shot, const QDir &folder)
{
    ViewHarness h;
    if (!stage(shot, h))
        return false;
    const QString path = folder.filePath(shot.name + ".png");
    if (!h.view.grabWindow().save(path))
        return false;
    QTextStream(stdout) << path << '\n';
    return h.warnings.isEmpty();
}

// The next line of standard input, awaited with the event loop running; none at its end.
std::optional<QString> nextLine(QFile &input)
{
    QSocketNotifier readable(input.handle(), QSocketNotifier::Read);
    QEventLoop loop;
    QObject::connect(&readable, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
    loop.exec();
    const QByteArray line = input.readLine();
    return line.isEmpty() ? std::nullopt : std::optional(QString::fromUtf8(line).trimmed());
}

int serve()
{
    QFile input;
    // Unbuffered, so no line waits in a buffer the notifier knows nothing of.
    if (!input.open(STDIN_FILENO, QIODevice::ReadOnly | QIODevice::Unbuffered))
        return 1;
    const QList<Shot> all = shots();
    std::unique_ptr<ViewHarness> shown;
    while (const std::optional<QString> name = nextLine(input)) {
        shown.reset();
        const auto shot = std::find_if(all.begin(), all.end(), [&](const Shot &s) { return s.name == *name; });
        shown = std::make_unique<ViewHarness>();
        if (shot == all.end() || !stage(*shot, *shown) || !shown->warnings.isEmpty()) {
            QTextStream(stderr) << *name << ": " << shown->warnings.join('\n') << '\n';
            return 1;
        }
        shown->view.requestActivate();
        QTextStream(stdout) << "shown " << *name << Qt::endl;
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    // A screen as tall as a laptop's, so screens that scroll show what fits on one.
    QTemporaryFile screens(QDir::tempPath() + QStringLiteral("/tender-gallery-XXXXXX.json"));
    if (screens.open())
        screens.write(R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": 2880, "height": 1800, "logicalDpi": 96, "dpr": 1}]})"), screens.flush();
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen:configfile=" + screens.fileName().toLocal8Bit() : qgetenv("QT_QPA_PLATFORM"));
    qputenv("QT_QUICK_BACKEND", "software");
    if (qgetenv("QT_SCALE_FACTOR").isEmpty())
        qputenv("QT_SCALE_FACTOR", "2");
    QGuiApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    if (argc != 2) {
        QTextStream(stderr) << "usage: tender-gallery <folder> | --serve\n";
        return 2;
    }
    if (qstrcmp(argv[1], "--serve") == 0)
        return serve();
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
