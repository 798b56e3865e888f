#include "service/StreamMessage.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace tender {

namespace {

// Real messages are a few dozen bytes; anything this long is not worth parsing.
constexpr qsizetype maxMessageChars = 64 * 1024;

bool isSignalVersionOne(const QJsonValue &event)
{
    const QJsonObject object = event.toObject();
    const QJsonValue version = object.value(QLatin1String("v"));
    return object.value(QLatin1String("type")).toString() == QLatin1String("signal")
        && version.isDouble() && version.toDouble() == 1.0;
}

} // namespace

StreamMessage classifyStreamMessage(const QString &text)
{
    if (text.size() > maxMessageChars)
        return StreamMessage::Other;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
    if (!document.isObject())
        return StreamMessage::Other;
    const QJsonObject message = document.object();
    const QJsonValue type = message.value(QLatin1String("type"));
    if (type == QLatin1String("ready"))
        return StreamMessage::Ready;
    if (type == QLatin1String("sync"))
        return StreamMessage::Sync;
    if (type == QLatin1String("event") && isSignalVersionOne(message.value(QLatin1String("event"))))
        return StreamMessage::Signal;
    return StreamMessage::Other;
}

} // namespace tender
