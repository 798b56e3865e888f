#pragma once

#include <QAccessibleInterface>
#include <QPointer>
#include <QQuickItem>

namespace tender::views {

// What assistive technology learns of an item of the views: what Qt Quick
// says, mended where Qt 6.4 falls short. A disabled control says so; a
// password input (echoMode Password), which Qt names not at all and whose
// text it hands out as typed to anyone on the accessibility bus, in answers
// and in text events alike, is named after its `label` and shows a bullet
// per character.
class AccessibleItem : public QAccessibleInterface, public QAccessibleTextInterface {
public:
    // Makes every item of the views use this; once, before they show.
    static void install();

    AccessibleItem(QQuickItem *item, QAccessibleInterface *stock);
    ~AccessibleItem() override;

    bool isValid() const override { return item_ && stock_->isValid(); }
    QObject *object() const override { return stock_->object(); }
    QWindow *window() const override { return stock_->window(); }
    QList<std::pair<QAccessibleInterface *, QAccessible::Relation>> relations(QAccessible::Relation match) const override
    {
        return stock_->relations(match);
    }
    QAccessibleInterface *focusChild() const override { return stock_->focusChild(); }
    QAccessibleInterface *childAt(int x, int y) const override { return stock_->childAt(x, y); }
    QAccessibleInterface *parent() const override { return stock_->parent(); }
    QAccessibleInterface *child(int index) const override { return stock_->child(index); }
    int childCount() const override { return stock_->childCount(); }
    int indexOfChild(const QAccessibleInterface *child) const override { return stock_->indexOfChild(child); }
    QString text(QAccessible::Text type) const override;
    void setText(QAccessible::Text type, const QString &text) override { stock_->setText(type, text); }
    QRect rect() const override { return stock_->rect(); }
    QAccessible::Role role() const override { return stock_->role(); }
    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    // A password input's text, as bullets.
    void selection(int, int *start, int *end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int start, int end) const override;
    int characterCount() const override;
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int *start, int *end) const override;

private:
    bool isPassword() const;

    QPointer<QQuickItem> item_;
    QAccessibleInterface *stock_;
};

} // namespace tender::views
