// Asks an X11 window to close the way a window manager does (WM_DELETE_WINDOW), so the
// program runs its own close handling. Usage: settings_send_close <window id>
#include <X11/Xlib.h>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    Display *display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return 3;
    const Window window = static_cast<Window>(std::strtoul(argv[1], nullptr, 0));
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XCloseDisplay(display);
    return 0;
}
