import QtQuick
import Tender

Body {
    size: 11.5
    color: Theme.faint
    wrapMode: Text.Wrap
}
