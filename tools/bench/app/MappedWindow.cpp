#include "MappedWindow.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace tender::bench {

namespace {

template<typename Reply>
std::unique_ptr<Reply, decltype(&std::free)> owned(Reply *reply)
{
    return {reply, &std::free};
}

} // namespace

MappedWindow::MappedWindow(const QString &display)
    : connection_(xcb_connect(display.toLocal8Bit().constData(), nullptr))
{
    static const char name[] = "_NET_WM_PID";
    if (auto atom = owned(xcb_intern_atom_reply(connection_, xcb_intern_atom(connection_, 0, sizeof name - 1, name), nullptr)))
        pidAtom_ = atom->atom;
}

MappedWindow::~MappedWindow()
{
    xcb_disconnect(connection_);
}

bool MappedWindow::isConnected() const
{
    return !xcb_connection_has_error(connection_) && pidAtom_;
}

bool MappedWindow::shownBy(pid_t pid) const
{
    return shownBelow(xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root, pid);
}

// Depth first through the tree: a tray icon sits inside the tray's windows.
bool MappedWindow::shownBelow(quint32 parent, pid_t pid) const
{
    auto tree = owned(xcb_query_tree_reply(connection_, xcb_query_tree(connection_, parent), nullptr));
    if (!tree)
        return false;
    const xcb_window_t *children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    for (int i = 0; i < count; ++i) {
        auto attributes = owned(xcb_get_window_attributes_reply(
            connection_, xcb_get_window_attributes(connection_, children[i]), nullptr));
        if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE)
            continue;
        auto property = owned(xcb_get_property_reply(
            connection_, xcb_get_property(connection_, 0, children[i], pidAtom_, XCB_ATOM_CARDINAL, 0, 1), nullptr));
        if (property && xcb_get_property_value_length(property.get()) == 4
            && *static_cast<const quint32 *>(xcb_get_property_value(property.get())) == quint32(pid))
            return true;
        if (shownBelow(children[i], pid))
            return true;
    }
    return false;
}

} // namespace tender::bench
