#pragma once

#include "records/Contact.h"
#include "views/LinkLookup.h"

#include <QCoroTask>
#include <QObject>
#include <QQmlEngine>
#include <QVariant>

#include <optional>

namespace tender {
class AppModel;
}

namespace tender::views {

// The state and the work of the contact form: adding a person from an invite
// link (no `contact`) or editing `contact`. start() applies the start values;
// save() and remove() run on the model and the service and leave the form
// for the main view when they succeed.
class ContactEditor : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QVariant contact READ contactValue WRITE setContact NOTIFY contactChanged)
    Q_PROPERTY(QString invite READ invite WRITE setInvite NOTIFY inviteChanged)
    Q_PROPERTY(bool editing READ editing NOTIFY contactChanged)
    Q_PROPERTY(QString storedLabel READ storedLabel NOTIFY contactChanged)
    Q_PROPERTY(QString link READ link WRITE setLink NOTIFY linkChanged)
    Q_PROPERTY(tender::views::LinkLookup::Kind lookup READ lookup NOTIFY lookupChanged)
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY nameChanged)
    Q_PROPERTY(QString trimmedName READ trimmedName NOTIFY nameChanged)
    Q_PROPERTY(int color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(bool close READ close WRITE setClose NOTIFY closeChanged)
    Q_PROPERTY(bool busy READ busy NOTIFY busyChanged)
    Q_PROPERTY(bool removing READ removing NOTIFY removingChanged)
    Q_PROPERTY(QString error READ error NOTIFY errorChanged)
    Q_PROPERTY(bool confirmDelete READ confirmDelete WRITE setConfirmDelete NOTIFY confirmDeleteChanged)
    Q_PROPERTY(bool canSave READ canSave NOTIFY canSaveChanged)
    Q_PROPERTY(QString webHost READ webHost CONSTANT)

public:
    static constexpr int fewClose = 10;

    explicit ContactEditor(QObject *parent = nullptr);

    QVariant contactValue() const;
    void setContact(const QVariant &value);
    const QString &invite() const { return invite_; }
    void setInvite(const QString &invite);
    bool editing() const { return contact_.has_value(); }
    QString storedLabel() const { return contact_ ? contact_->label : QString(); }
    const QString &link() const { return link_; }
    void setLink(const QString &link);
    LinkLookup::Kind lookup() const { return lookup_.kind; }
    const QString &name() const { return name_; }
    void setName(const QString &name);
    QString trimmedName() const { return name_.trimmed(); }
    int color() const { return color_; }
    void setColor(int index);
    bool close() const { return close_; }
    void setClose(bool close);
    bool busy() const { return busy_; }
    bool removing() const { return removing_; }
    const QString &error() const { return error_; }
    bool confirmDelete() const { return confirmDelete_; }
    void setConfirmDelete(bool on);
    bool canSave() const;
    QString webHost() const;

    Q_INVOKABLE void start();
    Q_INVOKABLE void save();
    Q_INVOKABLE void remove();

signals:
    void contactChanged();
    void inviteChanged();
    void linkChanged();
    void lookupChanged();
    void nameChanged();
    void colorChanged();
    void closeChanged();
    void busyChanged();
    void removingChanged();
    void errorChanged();
    void confirmDeleteChanged();
    void canSaveChanged();

private:
    QCoro::Task<> runSave();
    QCoro::Task<> runRemove();
    void setBusy(bool busy);
    void setRemoving(bool removing);
    void setError(const QString &error);
    QString inviteLink(const QString &code) const;

    AppModel *model_;
    std::optional<Contact> contact_;
    QString invite_;
    bool started_ = false;
    QString link_;
    LinkLookup lookup_;
    QString name_;
    int color_ = 0;
    bool close_ = false;
    bool busy_ = false;
    bool removing_ = false;
    QString error_;
    bool confirmDelete_ = false;
};

} // namespace tender::views
