#include "model/AppModel.h"
#include "model/LabelOrder.h"
#include "records/Palette.h"
#include "service/API.h"

#include <QPointer>

#include <algorithm>
#include <limits>
#include <set>

namespace tender {

namespace {

const QString closenessNotSaved = QStringLiteral("Не получилось сохранить");
const QString orderNotSaved = QStringLiteral("Не получилось сохранить порядок");

QString contactPath(const QString &id)
{
    return QStringLiteral("v1/contacts/") + id;
}

qsizetype indexById(const QList<Contact> &contacts, const QString &id)
{
    const auto found = std::find_if(contacts.begin(), contacts.end(), [&](const Contact &c) { return c.id == id; });
    return found == contacts.end() ? -1 : qsizetype(found - contacts.begin());
}

} // namespace

PaletteColor AppModel::color(const Contact &contact) const
{
    const auto stored = contactColors_.constFind(contact.id);
    if (stored != contactColors_.constEnd())
        return Palette::at(*stored);
    // Without a choice a person wears the colour of their place in the list.
    return Palette::at(std::max<qsizetype>(contacts_.indexOf(contact), 0));
}

int AppModel::nextColor() const
{
    std::set<qint64> taken;
    for (const Contact &contact : contacts_)
        taken.insert(contactColors_.value(contact.id, -1));
    for (int index = 0; index < int(Palette::all.size()); ++index) {
        if (!taken.contains(index))
            return index;
    }
    return int(contacts_.size() % qsizetype(Palette::all.size()));
}

QList<Contact> AppModel::closeContacts() const
{
    QList<Contact> close;
    std::copy_if(contacts_.begin(), contacts_.end(), std::back_inserter(close), [](const Contact &c) { return c.isClose(); });
    return close;
}

QList<Contact> AppModel::otherContacts() const
{
    QList<Contact> others;
    std::copy_if(contacts_.begin(), contacts_.end(), std::back_inserter(others), [](const Contact &c) { return !c.isClose(); });
    // Someone never sent to counts as the distant past.
    const auto sentAt = [this](const Contact &c) {
        const auto found = lastSent_.constFind(c.id);
        return found == lastSent_.constEnd() ? std::numeric_limits<qint64>::min() : found->toMSecsSinceEpoch();
    };
    std::stable_sort(others.begin(), others.end(), [&](const Contact &a, const Contact &b) {
        const qint64 timeA = sentAt(a);
        const qint64 timeB = sentAt(b);
        if (timeA != timeB)
            return timeA > timeB;
        return compareLabels(a.label, b.label) < 0;
    });
    return others;
}

QList<Contact> AppModel::contactsByName() const
{
    QList<Contact> sorted = contacts_;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Contact &a, const Contact &b) { return compareLabels(a.label, b.label) < 0; });
    return sorted;
}

void AppModel::setClose(const Contact &contact, bool value)
{
    const qsizetype index = indexById(contacts_, contact.id);
    if (index < 0)
        return;
    QList<Contact> contacts = contacts_;
    contacts[index].close = value;
    setContacts(std::move(contacts));
    chainSave({{contact.id, QJsonObject{{"close", value}}}}, closenessNotSaved);
}

void AppModel::move(const Contact &contact, int by)
{
    const QList<Contact> close = closeContacts();
    const qsizetype from = close.indexOf(contact);
    if (from < 0)
        return;
    const qsizetype target = from + by;
    if (target < 0 || target >= close.size())
        return;
    QList<Contact> contacts = contacts_;
    const qsizetype a = contacts.indexOf(contact);
    const qsizetype b = contacts.indexOf(close[target]);
    if (a < 0 || b < 0)
        return;
    contacts.swapItemsAt(a, b);
    // Renumber the whole list: positions from the service need not have been dense.
    QList<ContactChange> changes;
    for (qsizetype k = 0; k < contacts.size(); ++k) {
        if (contacts[k].position != k) {
            contacts[k].position = k;
            changes.append({contacts[k].id, QJsonObject{{"position", qint64(k)}}});
        }
    }
    setContacts(std::move(contacts));
    chainSave(std::move(changes), orderNotSaved);
}

void AppModel::chainSave(QList<ContactChange> changes, QString failure)
{
    saving_ = SharedTask<bool>(saveAfter(saving_, std::move(changes), std::move(failure)));
}

QCoro::Task<bool> AppModel::saveAfter(std::optional<SharedTask<bool>> previous, QList<ContactChange> changes,
                                      QString failure)
{
    const SessionGuard guard(*this);
    // Saves reach the service in the order the user made them.
    if (previous)
        co_await *previous;
    try {
        for (const ContactChange &change : changes) {
            if (!guard)
                co_return false;
            co_await api_->request("PATCH", contactPath(change.id), change.body);
        }
        co_return true;
    } catch (...) {
    }
    if (!guard)
        co_return false;
    setProblem(failure);
    co_await runReload();
    // A successful reload clears the line; the user must still learn that the change was lost.
    if (guard)
        setProblem(failure);
    co_return false;
}

QCoro::Task<> AppModel::updateContact(Contact contact, QString label, int color, bool close)
{
    QPointer<AppModel> self(this);
    QJsonObject body;
    if (label != contact.label)
        body.insert("label", label);
    if (close != contact.isClose())
        body.insert("close", close);
    if (!body.isEmpty()) {
        co_await api_->request("PATCH", contactPath(contact.id), body);
        if (!self)
            co_return;
    }
    QMap<QString, qint64> colors = contactColors_;
    colors.insert(contact.id, color);
    setContactColors(std::move(colors));
    const qsizetype index = indexById(contacts_, contact.id);
    if (index < 0)
        co_return;
    QList<Contact> contacts = contacts_;
    contacts[index].label = label;
    contacts[index].close = close;
    setContacts(std::move(contacts));
}

QCoro::Task<> AppModel::remove(Contact contact)
{
    QPointer<AppModel> self(this);
    co_await api_->request("DELETE", contactPath(contact.id));
    if (!self)
        co_return;
    QList<Contact> contacts = contacts_;
    contacts.removeIf([&](const Contact &c) { return c.id == contact.id; });
    setContacts(std::move(contacts));
    QMap<QString, qint64> colors = contactColors_;
    colors.remove(contact.id);
    setContactColors(std::move(colors));
    QMap<QString, QDateTime> lastSent = lastSent_;
    lastSent.remove(contact.id);
    setLastSent(std::move(lastSent));
}

QCoro::Task<> AppModel::addContact(QString code, QString label, int color, bool close)
{
    const SessionGuard guard(*this);
    Contact contact = co_await api_->addContact(code, label, close);
    // The person is on the service now: their colour is kept whatever happened meanwhile.
    if (!guard.alive())
        co_return;
    QMap<QString, qint64> colors = contactColors_;
    colors.insert(contact.id, color);
    setContactColors(std::move(colors));
    if (!guard)
        co_return;
    QList<Contact> contacts = contacts_;
    contacts.append(std::move(contact));
    setContacts(std::move(contacts));
}

QVariantMap AppModel::contactColorsValue() const
{
    QVariantMap colors;
    for (auto it = contactColors_.constBegin(); it != contactColors_.constEnd(); ++it)
        colors.insert(it.key(), it.value());
    return colors;
}

} // namespace tender
