#include "platform/X11DesktopReader.h"

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

namespace tender {

struct X11DesktopReader::Ewmh {
    xcb_ewmh_connection_t connection{};
    bool ready = false;
    ~Ewmh()
    {
        if (ready)
            xcb_ewmh_connection_wipe(&connection);
    }
};

namespace {

template<typename Reply>
using ReplyPointer = std::unique_ptr<Reply, decltype(&std::free)>;

template<typename Reply>
ReplyPointer<Reply> owned(Reply *reply)
{
    return ReplyPointer<Reply>(reply, &std::free);
}

bool hasAtom(const xcb_ewmh_get_atoms_reply_t &atoms, xcb_atom_t wanted)
{
    for (uint32_t i = 0; i < atoms.atoms_len; ++i)
        if (atoms.atoms[i] == wanted)
            return true;
    return false;
}

} // namespace

X11DesktopReader::X11DesktopReader(xcb_connection_t *connection, int screen)
    : connection_(connection)
    , screen_(screen)
    , ewmh_(std::make_unique<Ewmh>())
{
    if (!connection_ || xcb_connection_has_error(connection_))
        return;
    xcb_intern_atom_cookie_t *cookies = xcb_ewmh_init_atoms(connection_, &ewmh_->connection);
    ewmh_->ready = cookies && xcb_ewmh_init_atoms_replies(&ewmh_->connection, cookies, nullptr);
    ewmh_->ready = ewmh_->ready && screen_ < ewmh_->connection.nb_screens;
}

X11DesktopReader::~X11DesktopReader() = default;

bool X11DesktopReader::isReady() const
{
    return ewmh_->ready;
}

std::optional<qint64> X11DesktopReader::frontPid() const
{
    if (!isReady())
        return std::nullopt;
    auto *ewmh = &ewmh_->connection;
    xcb_window_t active = XCB_WINDOW_NONE;
    if (!xcb_ewmh_get_active_window_reply(ewmh, xcb_ewmh_get_active_window(ewmh, screen_), &active, nullptr)
        || active == XCB_WINDOW_NONE)
        return std::nullopt;
    uint32_t pid = 0;
    if (!xcb_ewmh_get_wm_pid_reply(ewmh, xcb_ewmh_get_wm_pid(ewmh, active), &pid, nullptr))
        return std::nullopt;
    return qint64(pid);
}

QList<DesktopWindow> X11DesktopReader::windows() const
{
    QList<DesktopWindow> result;
    if (!isReady())
        return result;
    auto *ewmh = &ewmh_->connection;
    xcb_ewmh_get_windows_reply_t stacking;
    if (!xcb_ewmh_get_client_list_stacking_reply(ewmh, xcb_ewmh_get_client_list_stacking(ewmh, screen_), &stacking,
                                                 nullptr))
        return result;
    for (uint32_t i = stacking.windows_len; i-- > 0;) {
        const xcb_window_t window = stacking.windows[i];
        auto attributes = owned(xcb_get_window_attributes_reply(
            connection_, xcb_get_window_attributes(connection_, window), nullptr));
        if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE)
            result << describe(window);
    }
    xcb_ewmh_get_windows_reply_wipe(&stacking);
    return result;
}

DesktopWindow X11DesktopReader::describe(quint32 window) const
{
    auto *ewmh = &ewmh_->connection;
    const auto pidCookie = xcb_ewmh_get_wm_pid(ewmh, window);
    const auto typeCookie = xcb_ewmh_get_wm_window_type(ewmh, window);
    const auto geometryCookie = xcb_get_geometry(connection_, window);

    DesktopWindow described;
    uint32_t pid = 0;
    if (xcb_ewmh_get_wm_pid_reply(ewmh, pidCookie, &pid, nullptr))
        described.pid = pid;
    described.layer = 0;
    xcb_ewmh_get_atoms_reply_t types;
    if (xcb_ewmh_get_wm_window_type_reply(ewmh, typeCookie, &types, nullptr)) {
        if (hasAtom(types, ewmh->_NET_WM_WINDOW_TYPE_DESKTOP))
            described.layer = -1;
        xcb_ewmh_get_atoms_reply_wipe(&types);
    }
    if (auto geometry = owned(xcb_get_geometry_reply(connection_, geometryCookie, nullptr)))
        described.bounds = QRectF(geometry->x, geometry->y, geometry->width, geometry->height);
    return described;
}

} // namespace tender
