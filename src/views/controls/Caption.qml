import QtQuick
import Tender

Body {
    size: 12
    strong: true
    color: Theme.muted
    elide: Text.ElideRight
    maximumLineCount: 1
}
