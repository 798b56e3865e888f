#pragma once

#include "platform/Clipboard.h"

namespace tender {

class QtClipboard final : public Clipboard {
public:
    void setText(const QString &text) override;
};

} // namespace tender
