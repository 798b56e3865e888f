#pragma once

#include "platform/UrlOpener.h"

#include <QList>

namespace tender::test {

class FakeUrlOpener final : public UrlOpener {
public:
    bool open(const QUrl &url) override
    {
        opened << url;
        return !fail;
    }
    QList<QUrl> opened;
    bool fail = false;
};

} // namespace tender::test
