#include "views/Pasteboard.h"

#include "platform/Clipboard.h"

namespace tender::views {

namespace {
Clipboard *target = nullptr;
}

void Pasteboard::setClipboard(Clipboard *clipboard)
{
    target = clipboard;
}

void Pasteboard::copy(const QString &text) const
{
    if (target)
        target->setText(text);
}

} // namespace tender::views
