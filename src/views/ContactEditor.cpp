#include "views/ContactEditor.h"

#include "model/AppModel.h"
#include "records/NameLength.h"
#include "records/Palette.h"
#include "views/Failure.h"
#include "views/ModelTypes.h"

#include <QPointer>

namespace tender::views {

namespace {

int paletteIndexOf(const PaletteColor &entry)
{
    const auto found = std::find_if(Palette::all.begin(), Palette::all.end(),
                                    [&](const PaletteColor &c) { return c.color == entry.color; });
    return found == Palette::all.end() ? 0 : int(found - Palette::all.begin());
}

} // namespace

ContactEditor::ContactEditor(QObject *parent)
    : QObject(parent)
    , model_(AppModelForeign::instance())
{
}

QVariant ContactEditor::contactValue() const
{
    return contact_ ? QVariant::fromValue(*contact_) : QVariant();
}

void ContactEditor::setContact(const QVariant &value)
{
    std::optional<Contact> contact;
    if (value.metaType() == QMetaType::fromType<Contact>())
        contact = value.value<Contact>();
    if (contact == contact_)
        return;
    // A fresh copy of the same person keeps what was typed; another person starts over.
    const bool otherPerson = !contact || !contact_ || contact->id != contact_->id;
    contact_ = std::move(contact);
    emit contactChanged();
    emit canSaveChanged();
    if (started_ && otherPerson)
        start();
}

void ContactEditor::setInvite(const QString &invite)
{
    if (invite == invite_)
        return;
    invite_ = invite;
    emit inviteChanged();
    // Another invite link arrived while the add form was open.
    if (started_)
        start();
}

void ContactEditor::setLink(const QString &link)
{
    if (link == link_)
        return;
    link_ = link;
    emit linkChanged();
    const LinkLookup lookup = LinkLookup::check(link);
    if (lookup == lookup_)
        return;
    lookup_ = lookup;
    emit lookupChanged();
    emit canSaveChanged();
}

void ContactEditor::setName(const QString &name)
{
    if (name == name_)
        return;
    name_ = name;
    emit nameChanged();
    emit canSaveChanged();
}

void ContactEditor::setColor(int index)
{
    const int reduced = int(Palette::normalized(index));
    if (reduced == color_)
        return;
    color_ = reduced;
    emit colorChanged();
}

void ContactEditor::setClose(bool close)
{
    if (close == close_)
        return;
    close_ = close;
    emit closeChanged();
}

void ContactEditor::setConfirmDelete(bool on)
{
    if (on == confirmDelete_)
        return;
    confirmDelete_ = on;
    emit confirmDeleteChanged();
}

bool ContactEditor::canSave() const
{
    return NameLength::fits(trimmedName()) && (editing() || lookup_.kind == LinkLookup::Ready);
}

QString ContactEditor::webHost() const
{
    if (!model_)
        return QString();
    const QUrl &web = model_->webBase();
    return web.port() == -1 ? web.host() : web.host() + u':' + QString::number(web.port());
}

QString ContactEditor::inviteLink(const QString &code) const
{
    // A release's web site is https; a development one on loopback may be plain http.
    const QString scheme = model_->webBase().scheme() == u"http" ? QStringLiteral("http") : QStringLiteral("https");
    return scheme + QStringLiteral("://") + webHost() + QStringLiteral("/i/") + code;
}

void ContactEditor::start()
{
    started_ = true;
    if (!model_)
        return;
    setConfirmDelete(false);
    setError({});
    if (contact_) {
        setName(contact_->label);
        setClose(contact_->isClose());
        setColor(paletteIndexOf(model_->color(*contact_)));
        return;
    }
    setLink(invite_.isEmpty() ? QString() : inviteLink(invite_));
    setName({});
    setColor(model_->nextColor());
    setClose(model_->closeContacts().size() < fewClose);
}

void ContactEditor::save()
{
    if (!model_ || busy_ || !canSave())
        return;
    setBusy(true);
    setError({});
    runSave();
}

QCoro::Task<> ContactEditor::runSave()
{
    QPointer<ContactEditor> self(this);
    QPointer<AppModel> model(model_);
    const std::optional<Contact> contact = contact_;
    const QString label = trimmedName();
    const int color = color_;
    const bool close = close_;
    const QString code = lookup_.code;
    std::exception_ptr failure;
    try {
        if (contact) {
            co_await model->updateContact(*contact, label, color, close);
        } else {
            co_await model->addContact(code, label, color, close);
        }
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self)
        co_return;
    setBusy(false);
    if (failure)
        setError(describe(failure));
    else if (model)
        model->setRoute(Route::main());
}

void ContactEditor::remove()
{
    if (!model_ || !contact_ || removing_)
        return;
    setRemoving(true);
    setError({});
    runRemove();
}

QCoro::Task<> ContactEditor::runRemove()
{
    QPointer<ContactEditor> self(this);
    QPointer<AppModel> model(model_);
    const Contact contact = *contact_;
    std::exception_ptr failure;
    try {
        co_await model->remove(contact);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self)
        co_return;
    setRemoving(false);
    if (failure)
        setError(describe(failure));
    else if (model)
        model->setRoute(Route::main());
}

void ContactEditor::setBusy(bool busy)
{
    busy_ = busy;
    emit busyChanged();
}

void ContactEditor::setRemoving(bool removing)
{
    removing_ = removing;
    emit removingChanged();
}

void ContactEditor::setError(const QString &error)
{
    if (error == error_)
        return;
    error_ = error;
    emit errorChanged();
}

} // namespace tender::views
