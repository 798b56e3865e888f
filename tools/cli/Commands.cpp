#include "Commands.h"
#include "Listen.h"
#include "Terminal.h"

#include "records/InviteCode.h"
#include "records/NameLength.h"
#include "service/API.h"
#include "service/Auth.h"

namespace tender::cli {

namespace {

// A person by id, else by name (whole name first, then a unique beginning), ignoring case.
Contact findContact(const QList<Contact> &contacts, const QString &wanted)
{
    for (const Contact &contact : contacts)
        if (contact.id == wanted)
            return contact;
    for (auto match : {Qt::MatchExactly, Qt::MatchStartsWith}) {
        QList<Contact> found;
        for (const Contact &contact : contacts) {
            const bool hit = match == Qt::MatchExactly ? contact.label.compare(wanted, Qt::CaseInsensitive) == 0
                                                       : contact.label.startsWith(wanted, Qt::CaseInsensitive);
            if (hit)
                found.append(contact);
        }
        if (found.size() == 1)
            return found.first();
        if (found.size() > 1)
            throw UsageError{QStringLiteral("«%1» подходит нескольким людям, укажи id").arg(wanted)};
    }
    throw UsageError{QStringLiteral("В списке нет «%1»").arg(wanted)};
}

void expectArguments(const QStringList &arguments, qsizetype count)
{
    if (arguments.size() - 1 != count)
        throw UsageError{QStringLiteral("«%1» ждёт аргументов: %2").arg(arguments.first()).arg(count)};
}

QCoro::Task<> login(Context context, QString email)
{
    const QString password = readSecret(QStringLiteral("Пароль: "));
    co_await context.auth.signIn(email, password);
    context.out << "Вошли как " << context.auth.session()->email.value_or(email) << Qt::endl;
}

QCoro::Task<> me(Context context)
{
    const Me me = co_await context.api.me();
    context.out << "uid\t" << me.uid << "\ninvite\t" << me.invite_url << Qt::endl;
}

QCoro::Task<> contacts(Context context)
{
    for (const Contact &contact : co_await context.api.contacts())
        context.out << contact.id << '\t' << contact.label << (contact.isClose() ? "\t★" : "") << '\n';
    context.out.flush();
}

QCoro::Task<> add(Context context, QString link, QString name)
{
    const auto code = inviteID(link);
    if (!code)
        throw UsageError{QStringLiteral("Не похоже на ссылку-приглашение")};
    const QString label = name.trimmed();
    if (!NameLength::fits(label))
        throw UsageError{QStringLiteral("Имя должно быть от 1 до 64 символов")};
    const Contact added = co_await context.api.addContact(*code, label, false);
    context.out << added.id << '\t' << added.label << Qt::endl;
}

QCoro::Task<> send(Context context, QString wanted)
{
    const Contact contact = findContact(co_await context.api.contacts(), wanted);
    co_await context.api.signal(contact.id);
    context.out << "Сердечко улетело: " << contact.label << Qt::endl;
}

QCoro::Task<> anyone(Context context)
{
    co_await context.api.signalAnyone();
    context.out << "Сердечко улетело кому-нибудь на свете" << Qt::endl;
}

QCoro::Task<> devices(Context context)
{
    for (const Device &device : co_await context.api.devices())
        context.out << device.id << '\t' << device.name << '\t' << device.capabilities.join(u',') << '\t'
                    << device.last_seen_at.value_or(QStringLiteral("-")) << '\n';
    context.out.flush();
}

} // namespace

QString usage()
{
    return QStringLiteral(R"(Использование: tender-cli КОМАНДА [АРГУМЕНТЫ]

Команды:
  login EMAIL        войти (или завести аккаунт); пароль спрашивается без эха
                     или читается из стандартного ввода, если это не терминал
  logout             выйти и забыть сессию
  me                 свой id и ссылка-приглашение
  contacts           список людей: id, имя, ★ у близких
  add ССЫЛКА ИМЯ     добавить человека по ссылке-приглашению
  send КТО           отправить сердечко: id или имя из списка
  anyone             сердечко кому-нибудь на свете (раз в час)
  devices            устройства: id, имя, возможности, когда были на связи
  listen [--no-anyone]
                     держать живое соединение и печатать по строке на событие:
                     online, offline, sync, signal (до Ctrl+C); --no-anyone —
                     не принимать сердечки от кого-нибудь на свете
  --help             эта справка

Сессия общая с приложением Tender. Адреса сервиса для разработки задают
переменные TENDER_API_BASE, TENDER_WEB_BASE, TENDER_IDENTITY_BASE,
TENDER_TOKEN_BASE и TENDER_IDENTITY_KEY.
)");
}

QCoro::Task<> run(Context context, QStringList arguments)
{
    if (arguments.isEmpty())
        throw UsageError{QStringLiteral("Нужна команда")};
    const QString command = arguments.first();
    if (command == u"login") {
        expectArguments(arguments, 1);
        co_await login(context, arguments[1]);
    } else if (command == u"logout") {
        expectArguments(arguments, 0);
        context.auth.signOut();
        context.out << "Вышли" << Qt::endl;
    } else if (command == u"me") {
        expectArguments(arguments, 0);
        co_await me(context);
    } else if (command == u"contacts") {
        expectArguments(arguments, 0);
        co_await contacts(context);
    } else if (command == u"add") {
        expectArguments(arguments, 2);
        co_await add(context, arguments[1], arguments[2]);
    } else if (command == u"send") {
        expectArguments(arguments, 1);
        co_await send(context, arguments[1]);
    } else if (command == u"anyone") {
        expectArguments(arguments, 0);
        co_await anyone(context);
    } else if (command == u"devices") {
        expectArguments(arguments, 0);
        co_await devices(context);
    } else if (command == u"listen") {
        const QStringList options = arguments.mid(1);
        if (options.size() > 1 || (options.size() == 1 && options.first() != u"--no-anyone"))
            throw UsageError{QStringLiteral("«listen» понимает только --no-anyone")};
        co_await listen(context.auth, context.clock, context.out, options.isEmpty());
    } else {
        throw UsageError{QStringLiteral("Нет такой команды: %1").arg(command)};
    }
}

} // namespace tender::cli
