#pragma once

#include "platform/UrlOpener.h"

namespace tender {

class DesktopUrlOpener final : public UrlOpener {
public:
    bool open(const QUrl &url) override;
};

} // namespace tender
