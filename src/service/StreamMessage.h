#pragma once

#include <QString>

namespace tender {

// What one text frame of the stream asks the client to do.
enum class StreamMessage { Ready, Sync, Signal, Other };

// Anything that is not a JSON object with a string "type" the client knows is
// Other, and so is an event other than a signal of version 1.
StreamMessage classifyStreamMessage(const QString &text);

} // namespace tender
