#pragma once

namespace tender {
class AppModel;
class Clipboard;
class Clock;
}

namespace tender::views {

// Makes the QML module "Tender" usable: the model it shows, the clock its
// timelines follow and where copied text goes. Call before loading RootView.qml
// (qrc:/qt/qml/Tender/RootView.qml).
void setUp(AppModel &model, Clock &clock, Clipboard &clipboard);

} // namespace tender::views
