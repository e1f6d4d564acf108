// Start-up as a user sees it on an X server: from spawning a program to its window being mapped and
// to the first drawing into that window.
//   x11_startup PROGRAM [ARGS...]   prints "<ns to map> <ns to first drawing>", then ends the program
// Windows are watched from their creation (no window manager runs on the bench's X server, so the
// program's top-level windows are children of the root), with a Damage object that reports the
// first drawing into the one that is mapped.
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <fcntl.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

long long MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: x11_startup PROGRAM [ARGS...]\n", stderr);
        return 2;
    }
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fputs("x11_startup: no X display\n", stderr);
        return 1;
    }
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(x, &xcb_damage_id);
    if (!damage || !damage->present) {
        std::fputs("x11_startup: the X server has no DAMAGE extension\n", stderr);
        return 1;
    }
    std::unique_ptr<xcb_damage_query_version_reply_t, FreeDeleter> version(
        xcb_damage_query_version_reply(x, xcb_damage_query_version(x, 1, 1), nullptr));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);

    pid_t child = 0;
    const long long start = MonotonicNs();
    // The program writes nowhere we read: helpers it starts (Wine's, say) would otherwise hold our
    // output open after it has gone.
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawn(&child, argv[1], &quiet, nullptr, argv + 1, environ);
    posix_spawn_file_actions_destroy(&quiet);
    if (spawned != 0) {
        std::perror("x11_startup: spawn");
        return 1;
    }
    // Qt creates helper windows that are never mapped: every new top-level window is watched, and
    // the one that is mapped is the program's.
    long long mapped = 0, drawn = 0;
    xcb_window_t window = XCB_NONE;
    std::map<xcb_damage_damage_t, xcb_window_t> watched;
    while (!drawn) {
        std::unique_ptr<xcb_generic_event_t, FreeDeleter> event(xcb_wait_for_event(x));
        if (!event) break;
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            // Watched from creation, so that no drawing can come before the watch.
            const auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event.get());
            if (created->override_redirect) continue;
            const xcb_damage_damage_t id = xcb_generate_id(x);
            xcb_damage_create(x, id, created->window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
            xcb_flush(x);
            watched[id] = created->window;
        } else if (type == XCB_MAP_NOTIFY && !mapped) {
            window = reinterpret_cast<xcb_map_notify_event_t*>(event.get())->window;
            mapped = MonotonicNs();
        } else if (type == damage->first_event + XCB_DAMAGE_NOTIFY && mapped) {
            const auto* notify = reinterpret_cast<xcb_damage_notify_event_t*>(event.get());
            if (notify->drawable == window) drawn = MonotonicNs();
        }
    }
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    xcb_disconnect(x);
    if (!drawn) {
        std::fputs("x11_startup: the program ended before drawing its window\n", stderr);
        return 1;
    }
    std::printf("%lld %lld\n", mapped - start, drawn - start);
    return 0;
}
