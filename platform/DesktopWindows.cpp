#include "DesktopWindows.h"

#ifdef STAVO_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#endif

namespace platform {

#ifdef STAVO_HAVE_XCB

namespace {

template <class T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <class T>
Reply<T> Take(T* p)
{
    return Reply<T>(p, &std::free);
}

// One connection per call: the display is asked rarely, and a connection kept open would tie the
// library to a display that may go away.
class Display {
public:
    Display()
    {
        int screenNo = 0;
        m_c = xcb_connect(nullptr, &screenNo);
        if (!m_c || xcb_connection_has_error(m_c)) {
            if (m_c)
                xcb_disconnect(m_c);
            m_c = nullptr;
            return;
        }
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_c));
        for (int i = 0; it.rem && i < screenNo; ++i)
            xcb_screen_next(&it);
        if (it.rem)
            m_root = it.data->root;
    }
    ~Display()
    {
        if (m_c) {
            // A round trip, so that every request sent has been carried out before we go.
            free(xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr));
            xcb_disconnect(m_c);
        }
    }
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    bool ok() const { return m_c && m_root; }
    xcb_connection_t* c() const { return m_c; }
    xcb_window_t root() const { return m_root; }

    // Interned once per connection: a window list asks for the same few names again and again.
    xcb_atom_t atom(const char* name) const
    {
        for (const auto& [n, a] : m_atoms)
            if (n == name)
                return a;
        const xcb_atom_t a = intern(name);
        m_atoms.emplace_back(name, a);
        return a;
    }

    xcb_atom_t intern(const char* name) const
    {
        auto r = Take(xcb_intern_atom_reply(m_c, xcb_intern_atom(m_c, 0, uint16_t(std::strlen(name)), name), nullptr));
        return r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    // A property's value; empty when missing. maxLongs bounds what a hostile client can make us read.
    std::string property(xcb_window_t w, xcb_atom_t prop, xcb_atom_t* type, int* format,
                         uint32_t maxLongs = 1024) const
    {
        auto r = Take(xcb_get_property_reply(
            m_c, xcb_get_property(m_c, 0, w, prop, XCB_GET_PROPERTY_TYPE_ANY, 0, maxLongs), nullptr));
        if (!r || r->type == XCB_ATOM_NONE)
            return {};
        if (type)
            *type = r->type;
        if (format)
            *format = r->format;
        const int len = xcb_get_property_value_length(r.get());
        return std::string(static_cast<const char*>(xcb_get_property_value(r.get())), size_t(len > 0 ? len : 0));
    }

    bool exists(xcb_window_t w) const
    {
        return bool(Take(xcb_get_window_attributes_reply(m_c, xcb_get_window_attributes(m_c, w), nullptr)));
    }

    long long pid(xcb_window_t w) const
    {
        xcb_atom_t type = XCB_ATOM_NONE;
        int format = 0;
        const std::string v = property(w, atom("_NET_WM_PID"), &type, &format, 1);
        if (type != XCB_ATOM_CARDINAL || format != 32 || v.size() < 4)
            return -1;
        uint32_t pid = 0;
        std::memcpy(&pid, v.data(), 4);
        return pid ? (long long)pid : -1;
    }

    // The ICCCM state the window manager keeps: normal (1) or iconic (3), not withdrawn (0).
    bool shownByClient(xcb_window_t w) const
    {
        const xcb_atom_t wmState = atom("WM_STATE");
        xcb_atom_t type = XCB_ATOM_NONE;
        int format = 0;
        const std::string v = property(w, wmState, &type, &format, 1);
        if (type != wmState || format != 32 || v.size() < 4)
            return false;
        uint32_t state = 0;
        std::memcpy(&state, v.data(), 4);
        return state == 1 || state == 3;
    }

    QString title(xcb_window_t w) const
    {
        xcb_atom_t type = XCB_ATOM_NONE;
        int format = 0;
        std::string v = property(w, atom("_NET_WM_NAME"), &type, &format);
        if (!v.empty() && format == 8)
            return QString::fromUtf8(v.data(), qsizetype(v.size()));
        v = property(w, XCB_ATOM_WM_NAME, &type, &format);
        if (v.empty() || format != 8)
            return {};
        // STRING is Latin-1; other types (compound text, UTF8_STRING) are taken as UTF-8.
        return type == XCB_ATOM_STRING ? QString::fromLatin1(v.data(), qsizetype(v.size()))
                                       : QString::fromUtf8(v.data(), qsizetype(v.size()));
    }

    void clientMessage(xcb_window_t dest, xcb_window_t about, xcb_atom_t type, uint32_t mask,
                       std::initializer_list<uint32_t> data) const
    {
        xcb_client_message_event_t ev {};
        ev.response_type = XCB_CLIENT_MESSAGE;
        ev.format = 32;
        ev.window = about;
        ev.type = type;
        int i = 0;
        for (uint32_t d : data)
            ev.data.data32[i++] = d;
        xcb_send_event(m_c, 0, dest, mask, reinterpret_cast<const char*>(&ev));
    }

private:
    xcb_connection_t* m_c = nullptr;
    xcb_window_t m_root = 0;
    mutable std::vector<std::pair<std::string, xcb_atom_t>> m_atoms;
};

} // namespace

bool ListDesktopWindows(std::vector<DesktopWindow>& windows)
{
    windows.clear();
    Display d;
    if (!d.ok())
        return false;
    std::vector<xcb_window_t> ids;
    bool managed = false;
    xcb_atom_t type = XCB_ATOM_NONE;
    int format = 0;
    const std::string list = d.property(d.root(), d.atom("_NET_CLIENT_LIST"), &type, &format, 65536);
    if (type == XCB_ATOM_WINDOW && format == 32 && !list.empty()) {
        managed = true;
        ids.resize(list.size() / 4);
        std::memcpy(ids.data(), list.data(), ids.size() * 4);
    } else {
        // No window manager keeps a list: the root's children are the top-level windows.
        auto tree = Take(xcb_query_tree_reply(d.c(), xcb_query_tree(d.c(), d.root()), nullptr));
        if (tree) {
            const xcb_window_t* children = xcb_query_tree_children(tree.get());
            ids.assign(children, children + xcb_query_tree_children_length(tree.get()));
        }
    }
    for (xcb_window_t w : ids) {
        auto attributes = Take(xcb_get_window_attributes_reply(d.c(), xcb_get_window_attributes(d.c(), w), nullptr));
        if (!attributes || (!managed && attributes->override_redirect))
            continue; // gone, or a menu or tooltip rather than an application window
        DesktopWindow dw;
        dw.id = w;
        dw.pid = d.pid(w);
        dw.title = d.title(w);
        // Shown by its application, as the handheld counts a visible window: on the screen, or
        // managed in the normal or minimised state. A window manager unmaps minimised windows and
        // those of other workspaces; their processes must still be asked to close, not killed.
        dw.visible = attributes->map_state == XCB_MAP_STATE_VIEWABLE || (managed && d.shownByClient(w));
        windows.push_back(std::move(dw));
    }
    return true;
}

long long DesktopWindowProcess(DesktopWindowId id)
{
    Display d;
    if (!d.ok() || !id || id > 0xFFFFFFFFu || !d.exists(xcb_window_t(id)))
        return -1;
    return d.pid(xcb_window_t(id));
}

bool ActivateDesktopWindow(DesktopWindowId id)
{
    Display d;
    if (!d.ok() || !id || id > 0xFFFFFFFFu)
        return false;
    const auto w = xcb_window_t(id);
    if (!d.exists(w))
        return false;
    // A window manager moves its own frame on request; without one we raise and focus it ourselves.
    d.clientMessage(d.root(), w, d.atom("_NET_ACTIVE_WINDOW"),
                    XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                    {2, XCB_CURRENT_TIME, 0});
    xcb_map_window(d.c(), w);
    const uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_configure_window(d.c(), w, XCB_CONFIG_WINDOW_STACK_MODE, &above);
    auto attributes = Take(xcb_get_window_attributes_reply(d.c(), xcb_get_window_attributes(d.c(), w), nullptr));
    if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE)
        xcb_set_input_focus(d.c(), XCB_INPUT_FOCUS_PARENT, w, XCB_CURRENT_TIME);
    xcb_flush(d.c());
    return true;
}

bool CloseDesktopWindow(DesktopWindowId id)
{
    Display d;
    if (!d.ok() || !id || id > 0xFFFFFFFFu)
        return false;
    const auto w = xcb_window_t(id);
    const xcb_atom_t protocols = d.atom("WM_PROTOCOLS");
    const xcb_atom_t deleteWindow = d.atom("WM_DELETE_WINDOW");
    xcb_atom_t type = XCB_ATOM_NONE;
    int format = 0;
    const std::string v = d.property(w, protocols, &type, &format);
    bool takesDelete = false;
    for (size_t i = 0; format == 32 && i + 4 <= v.size(); i += 4) {
        xcb_atom_t a = 0;
        std::memcpy(&a, v.data() + i, 4);
        takesDelete = takesDelete || a == deleteWindow;
    }
    if (!takesDelete)
        return false;
    d.clientMessage(w, w, protocols, XCB_EVENT_MASK_NO_EVENT, {deleteWindow, XCB_CURRENT_TIME});
    xcb_flush(d.c());
    return true;
}

#else // no X11 client library at build time: no desktop to ask

bool ListDesktopWindows(std::vector<DesktopWindow>& windows)
{
    windows.clear();
    return false;
}
long long DesktopWindowProcess(DesktopWindowId) { return -1; }
bool ActivateDesktopWindow(DesktopWindowId) { return false; }
bool CloseDesktopWindow(DesktopWindowId) { return false; }

#endif

} // namespace platform
