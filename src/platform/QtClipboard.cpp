#include "platform/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace tender {

void QtClipboard::setText(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

} // namespace tender
