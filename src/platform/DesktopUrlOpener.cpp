#include "platform/DesktopUrlOpener.h"

#include <QDesktopServices>

namespace tender {

bool DesktopUrlOpener::open(const QUrl &url)
{
    return url.isValid() && QDesktopServices::openUrl(url);
}

} // namespace tender
