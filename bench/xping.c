/* Measures how quickly an X client's event loop answers: sends _NET_WM_PING to WINDOW, one at a
 * time, and prints "SENT ANSWERED" (CLOCK_MONOTONIC seconds) for each answer, until killed.
 * A client answers a ping only when its event loop reads it, so a long answer is a window that
 * is busy (computing, or waiting for something else such as a clipboard transfer).
 * Build: cc -O2 -o xping xping.c -lxcb      Usage: xping WINDOW-ID */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>
#include <xcb/xcb.h>

static double now(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (double)ts.tv_sec + (double)ts.tv_nsec / 1e9;
}

static xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, (uint16_t)strlen(name), name), NULL);
    xcb_atom_t a = r ? r->atom : XCB_ATOM_NONE;
    free(r);
    return a;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: xping WINDOW-ID\n");
        return 2;
    }
    const xcb_window_t window = (xcb_window_t)strtoul(argv[1], NULL, 0);
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(NULL, &screenNumber);
    if (xcb_connection_has_error(c)) {
        fprintf(stderr, "xping: no display\n");
        return 1;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber; ++i) {
        xcb_screen_next(&it);
    }
    const xcb_window_t root = it.data->root;
    const xcb_atom_t protocols = atom(c, "WM_PROTOCOLS");
    const xcb_atom_t ping = atom(c, "_NET_WM_PING");
    /* Qt sends the answer to the root window with StructureNotify (and SubstructureRedirect). */
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    setvbuf(stdout, NULL, _IOLBF, 0);
    for (uint32_t serial = 1;; ++serial) {
        xcb_client_message_event_t ev;
        memset(&ev, 0, sizeof ev);
        ev.response_type = XCB_CLIENT_MESSAGE;
        ev.format = 32;
        ev.window = window;
        ev.type = protocols;
        ev.data.data32[0] = ping;
        ev.data.data32[1] = serial; /* stands in for the timestamp; echoed back */
        ev.data.data32[2] = window;
        const double sent = now();
        xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, (const char*)&ev);
        xcb_flush(c);
        for (;;) {
            xcb_generic_event_t* e = xcb_wait_for_event(c);
            if (!e) {
                return 0; /* the display went away */
            }
            const int type = e->response_type & 0x7f;
            int answered = 0;
            if (type == XCB_CLIENT_MESSAGE) {
                const xcb_client_message_event_t* m = (const xcb_client_message_event_t*)e;
                answered = m->type == protocols && m->data.data32[0] == ping &&
                           m->data.data32[1] == serial && m->data.data32[2] == window;
            }
            free(e);
            if (answered) {
                printf("%.6f %.6f\n", sent, now());
                break;
            }
        }
        usleep(10000);
    }
}
