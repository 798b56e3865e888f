#pragma once

#include "platform/Clipboard.h"

#include <optional>

namespace tender::test {

class FakeClipboard final : public Clipboard {
public:
    void setText(const QString &value) override { text = value; }
    std::optional<QString> text; // absent: never set
};

} // namespace tender::test
