#pragma once

#include <QString>

namespace tender {

// The system clipboard.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    // Replaces whatever the clipboard held with plain text only.
    virtual void setText(const QString &text) = 0;
};

} // namespace tender
