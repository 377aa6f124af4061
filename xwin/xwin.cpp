// kestro-xwin: looks at and drives the game's window on an X display, for the start-up test and
// the processor benchmark that run the real program under Xvfb.
//
//   kestro-xwin find TITLE SECONDS      wait for a shown top-level window titled TITLE; print id
//   kestro-xwin shown TITLE SECONDS     wait, looking every millisecond or two, until a window
//                                       titled TITLE shows a level (for start-up timing)
//   kestro-xwin level WIN SECONDS       wait until WIN shows a level; print the playfield's box
//                                       "left top width height" in WIN's pixels
//   kestro-xwin ball WIN                print the centre "x y" of the ball's blue pixels
//   kestro-xwin click WIN X Y           a left click at X, Y of WIN (synthetic press, release)
//   kestro-xwin close WIN               ask WIN to close, as a window manager's close does
//   kestro-xwin move WIN X Y            move the pointer to X, Y of WIN
//   kestro-xwin sweep WIN X Y W SECONDS move the pointer to and fro along W pixels from X, Y of
//                                       WIN, one pixel a step, 60 steps a second, for SECONDS
//   kestro-xwin pixel WIN X Y           print the colour "r g b" of WIN's pixel at X, Y
//   kestro-xwin region WIN X Y W H      print a checksum of the pixels of a part of WIN
//   kestro-xwin ballsteps WIN SECONDS   watch the ball for SECONDS; print how often it moved
//   kestro-xwin storm WIN N SEED        resize WIN to N random sizes (1 to 8000 pixels a side,
//                                       spread over their orders of magnitude), iconifying and
//                                       mapping it again every 25th time
//   kestro-xwin keys WIN KEY...         give WIN the keyboard focus and press each KEY in turn:
//                                       a key name with modifiers ("alt+f", "Return", "ctrl+a")
//                                       or "text:..." to type the text after the colon
//   kestro-xwin changes WIN X Y W H SECONDS
//                                       watch a part of WIN for SECONDS; print how often it changed
//   kestro-xwin wm SECONDS              wait until a window manager runs; print its name
//   kestro-xwin minimize WIN            ask the window manager to minimize WIN; wait until it is
//   kestro-xwin focus WIN               ask the window manager to activate WIN (and show it when
//                                       minimized); wait until WIN is the active window, at rest
//   kestro-xwin decoy TITLE SECONDS     map a small window titled TITLE in the screen's lower
//                                       right corner and keep it for SECONDS (another program's
//                                       window to turn to)
//   kestro-xwin damage WIN SECONDS      count the pixels drawn into WIN for SECONDS, as the X
//                                       server's DAMAGE extension reports them (the area of every
//                                       rectangle drawn, overlaps counted again); print "pixels N
//                                       seconds S", S the seconds measured (fewer when WIN is
//                                       destroyed first, which ends the count with status 1)
//
// Exit status 0 on success, 1 when the condition was not met in time, 2 on usage errors.

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#ifdef KESTRO_XWIN_DAMAGE
#include <X11/extensions/Xdamage.h>
#endif
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

struct DisplayCloser {
    void operator()(Display* d) const { XCloseDisplay(d); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

struct ImageDestroyer {
    void operator()(XImage* image) const { XDestroyImage(image); }
};
using ImagePtr = std::unique_ptr<XImage, ImageDestroyer>;

struct Rgb {
    int r = 0, g = 0, b = 0;
};

// A window's pixels as RGB, row by row.
struct Shot {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;
    const Rgb& at(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

bool isBlack(const Rgb& p) {
    return p.r == 0 && p.g == 0 && p.b == 0;
}
bool isBlue(const Rgb& p) {
    return p.r == 0 && p.g == 0 && p.b == 255;
}
bool isGreen(const Rgb& p) {
    return p.r == 0 && p.g == 255 && p.b == 0;
}

std::string windowName(Display* d, Window w) {
    XTextProperty prop;
    std::string name;
    if (XGetWMName(d, w, &prop) != 0 && prop.value != nullptr) {
        name.assign(reinterpret_cast<const char*>(prop.value), prop.nitems);
        XFree(prop.value);
    }
    if (name.empty()) {  // a window manager's check window may have only the desktop's name
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), 0, 256, False,
                               XInternAtom(d, "UTF8_STRING", False), &type, &format, &count, &after,
                               &data) == Success &&
            data != nullptr) {
            if (format == 8) {
                name.assign(reinterpret_cast<const char*>(data), count);
            }
            XFree(data);
        }
    }
    return name;
}

std::optional<Window> findShown(Display* d, Window parent, const std::string& title) {
    Window root = 0;
    Window parentOut = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(d, parent, &root, &parentOut, &children, &count) == 0) {
        return std::nullopt;
    }
    std::optional<Window> found;
    for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes attrs;
        if (XGetWindowAttributes(d, children[i], &attrs) != 0 && attrs.map_state == IsViewable &&
            windowName(d, children[i]) == title) {
            found = children[i];
        }
        if (!found) {
            found = findShown(d, children[i], title);  // under a reparenting window manager
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}

std::optional<Shot> grab(Display* d, Window w) {
    XWindowAttributes attrs;
    if (XGetWindowAttributes(d, w, &attrs) == 0 || attrs.map_state != IsViewable) {
        return std::nullopt;
    }
    ImagePtr image(XGetImage(d, w, 0, 0, static_cast<unsigned>(attrs.width),
                             static_cast<unsigned>(attrs.height), AllPlanes, ZPixmap));
    if (!image) {
        return std::nullopt;
    }
    Shot shot;
    shot.width = attrs.width;
    shot.height = attrs.height;
    shot.pixels.resize(static_cast<std::size_t>(shot.width) *
                       static_cast<std::size_t>(shot.height));
    const auto channel = [](unsigned long pixel, unsigned long mask) {
        if (mask == 0) {
            return 0;
        }
        int shift = 0;
        while (((mask >> shift) & 1UL) == 0) {
            ++shift;
        }
        const unsigned long max = mask >> shift;
        return static_cast<int>(((pixel & mask) >> shift) * 255UL / max);
    };
    // 32-bit pixels in the machine's byte order are read straight from the image's rows; other
    // formats through XGetPixel, which is much slower.
    const bool direct = image->bits_per_pixel == 32 && image->byte_order == LSBFirst;
    for (int y = 0; y < shot.height; ++y) {
        const char* row = image->data + static_cast<std::ptrdiff_t>(y) * image->bytes_per_line;
        for (int x = 0; x < shot.width; ++x) {
            std::uint32_t word = 0;
            if (direct) {
                std::memcpy(&word, row + 4 * static_cast<std::ptrdiff_t>(x), sizeof word);
            }
            const unsigned long p = direct ? word : XGetPixel(image.get(), x, y);
            shot.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(shot.width) +
                        static_cast<std::size_t>(x)] =
                Rgb{channel(p, image->red_mask), channel(p, image->green_mask),
                    channel(p, image->blue_mask)};
        }
    }
    return shot;
}

struct Box {
    int left = 0, top = 0, width = 0, height = 0;
};

// Whether the picture holds a blue and a green pixel anywhere: one pass that rules out most
// frames (blank, all black, still being laid out) before the frame search looks at them.
bool hasBallAndGoalColours(const Shot& s) {
    bool blue = false;
    bool green = false;
    for (const Rgb& p : s.pixels) {
        blue = blue || isBlue(p);
        green = green || isGreen(p);
        if (blue && green) {
            return true;
        }
    }
    return false;
}

// A level is on screen when a black frame of border walls at least 300 pixels long on each side
// encloses the blue ball and a green goal.
std::optional<Box> findLevel(const Shot& s) {
    constexpr int kMinRun = 300;
    if (!hasBallAndGoalColours(s)) {
        return std::nullopt;
    }
    for (int x = 0; x < s.width; ++x) {
        int runStart = -1;
        for (int y = 0; y <= s.height; ++y) {
            const bool black = y < s.height && isBlack(s.at(x, y));
            if (black && runStart < 0) {
                runStart = y;
            }
            if (!black && runStart >= 0) {
                if (y - runStart >= kMinRun) {
                    Box box{x, runStart, 0, y - runStart};
                    while (box.left + box.width < s.width &&
                           isBlack(s.at(box.left + box.width, box.top))) {
                        ++box.width;
                    }
                    if (box.width < kMinRun) {
                        break;
                    }
                    bool blue = false;
                    bool green = false;
                    for (int yy = box.top; yy < box.top + box.height && !(blue && green); ++yy) {
                        for (int xx = box.left; xx < box.left + box.width; ++xx) {
                            blue = blue || isBlue(s.at(xx, yy));
                            green = green || isGreen(s.at(xx, yy));
                        }
                    }
                    if (blue && green) {
                        return box;
                    }
                }
                runStart = -1;
            }
        }
    }
    return std::nullopt;
}

std::optional<std::pair<double, double>> findBall(const Shot& s) {
    double sx = 0;
    double sy = 0;
    long n = 0;
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            if (isBlue(s.at(x, y))) {
                sx += x;
                sy += y;
                ++n;
            }
        }
    }
    if (n == 0) {
        return std::nullopt;
    }
    return std::make_pair(sx / static_cast<double>(n), sy / static_cast<double>(n));
}

template <typename F>
bool poll(double seconds, F f) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (true) {
        if (f()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

void sendButton(Display* d, Window w, int type, int x, int y, unsigned int state) {
    XEvent ev{};
    ev.xbutton.type = type;
    ev.xbutton.display = d;
    ev.xbutton.window = w;
    ev.xbutton.root = DefaultRootWindow(d);
    ev.xbutton.subwindow = None;
    ev.xbutton.time = CurrentTime;
    ev.xbutton.x = x;
    ev.xbutton.y = y;
    Window child = 0;
    XTranslateCoordinates(d, w, ev.xbutton.root, x, y, &ev.xbutton.x_root, &ev.xbutton.y_root,
                          &child);
    ev.xbutton.state = state;
    ev.xbutton.button = Button1;
    ev.xbutton.same_screen = True;
    XSendEvent(d, w, True, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &ev);
    XFlush(d);
}

// Presses and releases one key with the given modifiers held, as real input through the server.
bool pressKey(Display* d, KeySym sym, std::vector<KeySym> modifiers) {
    const KeyCode code = XKeysymToKeycode(d, sym);
    if (code == 0) {
        return false;
    }
    // A character on the shifted level of its key needs Shift.
    if (XkbKeycodeToKeysym(d, code, 0, 0) != sym && XkbKeycodeToKeysym(d, code, 0, 1) == sym) {
        modifiers.push_back(XK_Shift_L);
    }
    for (const KeySym m : modifiers) {
        XTestFakeKeyEvent(d, XKeysymToKeycode(d, m), True, CurrentTime);
    }
    XTestFakeKeyEvent(d, code, True, CurrentTime);
    XTestFakeKeyEvent(d, code, False, CurrentTime);
    for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m) {
        XTestFakeKeyEvent(d, XKeysymToKeycode(d, *m), False, CurrentTime);
    }
    XSync(d, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    return true;
}

// "alt+f", "ctrl+shift+Tab", "Return": the modifiers before the last "+", then a key name.
bool pressKeyName(Display* d, const std::string& name) {
    std::vector<KeySym> modifiers;
    std::string rest = name;
    for (std::size_t plus;
         (plus = rest.find('+')) != std::string::npos && plus + 1 < rest.size();) {
        const std::string m = rest.substr(0, plus);
        rest = rest.substr(plus + 1);
        if (m == "ctrl") {
            modifiers.push_back(XK_Control_L);
        } else if (m == "alt") {
            modifiers.push_back(XK_Alt_L);
        } else if (m == "shift") {
            modifiers.push_back(XK_Shift_L);
        } else {
            return false;
        }
    }
    const KeySym sym = XStringToKeysym(rest.c_str());
    return sym != NoSymbol && pressKey(d, sym, modifiers);
}

bool typeText(Display* d, const std::string& text) {
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        // Printable Latin-1 characters are their own key symbols.
        if (c < 0x20 || c > 0x7e || !pressKey(d, static_cast<KeySym>(c), {})) {
            return false;
        }
    }
    return true;
}

int usage() {
    std::fputs(
        "usage: kestro-xwin find TITLE SECONDS | shown TITLE SECONDS | level WIN SECONDS | ball "
        "WIN | click WIN X Y | "
        "close WIN | move WIN X Y | sweep WIN X Y W SECONDS | pixel WIN X Y | region WIN X Y W H | "
        "ballsteps WIN SECONDS | "
        "storm WIN N SEED | keys WIN KEY... | changes WIN X Y W H SECONDS | wm SECONDS | "
        "minimize WIN | focus WIN | decoy TITLE SECONDS | damage WIN SECONDS\n",
        stderr);
    return 2;
}

// FNV-1a over the colours of a rectangle of the shot (clipped to it).
std::uint64_t regionChecksum(const Shot& s, int left, int top, int width, int height) {
    std::uint64_t h = 14695981039346656037ULL;
    for (int y = std::max(top, 0); y < std::min(top + height, s.height); ++y) {
        for (int x = std::max(left, 0); x < std::min(left + width, s.width); ++x) {
            for (const int c : {s.at(x, y).r, s.at(x, y).g, s.at(x, y).b}) {
                h = (h ^ static_cast<std::uint64_t>(c)) * std::uint64_t{1099511628211};
            }
        }
    }
    return h;
}

// The first value of a window's property of 32-bit items, if it has one.
std::optional<unsigned long> longProperty(Display* d, Window w, const char* name, Atom type) {
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const Atom property = XInternAtom(d, name, False);
    if (XGetWindowProperty(d, w, property, 0, 1, False, type, &actualType, &actualFormat, &count,
                           &after, &data) != Success) {
        return std::nullopt;
    }
    std::optional<unsigned long> value;
    if (data != nullptr && actualFormat == 32 && count == 1) {
        value = *reinterpret_cast<const unsigned long*>(data);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return value;
}

// The window manager's check window, when one runs and announces itself.
std::optional<Window> windowManager(Display* d) {
    const auto check = longProperty(d, DefaultRootWindow(d), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    if (!check || longProperty(d, *check, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW) != check) {
        return std::nullopt;
    }
    return static_cast<Window>(*check);
}

bool isActive(Display* d, Window w) {
    return longProperty(d, DefaultRootWindow(d), "_NET_ACTIVE_WINDOW", XA_WINDOW) == w;
}

bool isIconic(Display* d, Window w) {
    const Atom wmState = XInternAtom(d, "WM_STATE", False);
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, w, wmState, 0, 2, False, wmState, &actualType, &actualFormat, &count,
                           &after, &data) != Success) {
        return false;
    }
    const bool iconic = data != nullptr && actualFormat == 32 && count >= 1 &&
                        *reinterpret_cast<const unsigned long*>(data) == IconicState;
    if (data != nullptr) {
        XFree(data);
    }
    return iconic;
}

bool isViewable(Display* d, Window w) {
    XWindowAttributes attrs;
    return XGetWindowAttributes(d, w, &attrs) != 0 && attrs.map_state == IsViewable;
}

// Where a window lies on the screen, when it is shown whole there and its pixels can be read.
std::optional<std::pair<int, int>> placeOnScreen(Display* d, Window w) {
    XWindowAttributes attrs;
    Window child = 0;
    int x = 0;
    int y = 0;
    if (XGetWindowAttributes(d, w, &attrs) == 0 || attrs.map_state != IsViewable ||
        XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &x, &y, &child) == 0) {
        return std::nullopt;
    }
    const int screen = DefaultScreen(d);
    if (x < 0 || y < 0 || x + attrs.width > DisplayWidth(d, screen) ||
        y + attrs.height > DisplayHeight(d, screen)) {
        return std::nullopt;
    }
    return std::make_pair(x, y);
}

// Asks the window manager to activate w, as a pager or task bar does (source 2), so that no
// rule against focus stealing holds it back.
void requestActivation(Display* d, Window w) {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = XInternAtom(d, "_NET_ACTIVE_WINDOW", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = 2;
    ev.xclient.data.l[1] = CurrentTime;
    ev.xclient.data.l[2] = 0;
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &ev);
    XFlush(d);
}

// A small plain window of its own titled title, in the screen's lower right corner, kept and
// answered (a close request ends it) for the given time.
int decoy(Display* d, const std::string& title, double seconds) {
    constexpr int kSide = 64;
    const int screen = DefaultScreen(d);
    const int x = DisplayWidth(d, screen) - kSide - 16;
    const int y = DisplayHeight(d, screen) - kSide - 48;
    const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), x, y, kSide, kSide, 0,
                                         BlackPixel(d, screen), WhitePixel(d, screen));
    XStoreName(d, w, title.c_str());
    XSizeHints hints{};
    hints.flags = USPosition | USSize | PPosition | PSize;
    hints.x = x;
    hints.y = y;
    hints.width = kSide;
    hints.height = kSide;
    XSetWMNormalHints(d, w, &hints);
    Atom deleteWindow = XInternAtom(d, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(d, w, &deleteWindow, 1);
    XSelectInput(d, w, StructureNotifyMask);
    XMapWindow(d, w);
    XFlush(d);
    // A window manager that is still starting may miss the request to map: it is made again
    // until the window is shown (and never while the window manager keeps it minimized).
    bool mapped = false;
    auto asked = std::chrono::steady_clock::now();
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        while (XPending(d) > 0) {
            XEvent ev;
            XNextEvent(d, &ev);
            if (ev.type == MapNotify) {
                mapped = true;
            } else if (ev.type == UnmapNotify) {
                mapped = false;
            } else if (ev.type == ClientMessage &&
                       static_cast<Atom>(ev.xclient.data.l[0]) == deleteWindow) {
                XDestroyWindow(d, w);
                return 0;
            }
        }
        const auto now = std::chrono::steady_clock::now();
        if (!mapped && !isIconic(d, w) && now - asked > std::chrono::milliseconds(500)) {
            XMapWindow(d, w);
            XFlush(d);
            asked = now;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    XDestroyWindow(d, w);
    return 0;
}

// The pixels drawn into w over the given time, as the DAMAGE extension reports them one
// rectangle a drawing request; prints "pixels N seconds S". A destroyed window ends the count.
int countDamage(Display* d, Window w, double seconds) {
#ifdef KESTRO_XWIN_DAMAGE
    int eventBase = 0;
    int errorBase = 0;
    if (XDamageQueryExtension(d, &eventBase, &errorBase) == 0) {
        std::fputs("kestro-xwin: the X server has no DAMAGE extension\n", stderr);
        return 1;
    }
    XSelectInput(d, w, StructureNotifyMask);
    // Freed with the window or, at the latest, with the connection.
    XDamageCreate(d, w, XDamageReportRawRectangles);
    // The server reports the whole window at once as the damage a new object starts with: that
    // report, queued by the time the server has answered, is not drawing and is not counted.
    XSync(d, False);
    bool destroyed = false;
    while (XPending(d) > 0) {
        XEvent ev;
        XNextEvent(d, &ev);
        destroyed = destroyed || (ev.type == DestroyNotify && ev.xdestroywindow.window == w);
    }
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto end =
        start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    long long pixels = 0;
    while (!destroyed) {
        while (!destroyed && XPending(d) > 0) {
            XEvent ev;
            XNextEvent(d, &ev);
            if (ev.type == eventBase + XDamageNotify) {
                const auto& area = reinterpret_cast<const XDamageNotifyEvent&>(ev).area;
                pixels += static_cast<long long>(area.width) * area.height;
            } else if (ev.type == DestroyNotify && ev.xdestroywindow.window == w) {
                destroyed = true;
            }
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now());
        if (destroyed || left.count() <= 0) {
            break;
        }
        pollfd connection{ConnectionNumber(d), POLLIN, 0};
        ::poll(&connection, 1, static_cast<int>(left.count()));
    }
    const std::chrono::duration<double> measured = Clock::now() - start;
    std::printf("pixels %lld seconds %.2f\n", pixels, measured.count());
    if (destroyed) {
        std::fprintf(stderr, "kestro-xwin: window %lu was destroyed after %.2f seconds\n", w,
                     measured.count());
        return 1;
    }
    return 0;
#else
    static_cast<void>(d);
    static_cast<void>(w);
    static_cast<void>(seconds);
    std::fputs("kestro-xwin: built without the X DAMAGE extension (Debian: libxdamage-dev)\n",
               stderr);
    return 1;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        return usage();
    }
    DisplayPtr display(XOpenDisplay(nullptr));
    if (!display) {
        std::fputs("kestro-xwin: cannot open the display\n", stderr);
        return 2;
    }
    Display* d = display.get();
    const std::string& command = args[0];

    if (command == "find" && args.size() == 3) {
        std::optional<Window> w;
        if (!poll(std::atof(args[2].c_str()), [&] {
                w = findShown(d, DefaultRootWindow(d), args[1]);
                return w.has_value();
            })) {
            return 1;
        }
        std::printf("%lu\n", *w);
        return 0;
    }
    if (command == "shown" && args.size() == 3) {
        const auto end = std::chrono::steady_clock::now() +
                         std::chrono::duration<double>(std::atof(args[2].c_str()));
        while (std::chrono::steady_clock::now() < end) {
            const auto w = findShown(d, DefaultRootWindow(d), args[1]);
            const auto shot = w ? grab(d, *w) : std::nullopt;
            if (shot && findLevel(*shot)) {
                return 0;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(w ? 2 : 1));
        }
        return 1;
    }
    if (command == "wm" && args.size() == 2) {
        std::optional<Window> check;
        if (!poll(std::atof(args[1].c_str()), [&] {
                check = windowManager(d);
                return check.has_value();
            })) {
            return 1;
        }
        std::printf("%s\n", windowName(d, *check).c_str());
        return 0;
    }
    if (command == "decoy" && args.size() == 3) {
        return decoy(d, args[1], std::atof(args[2].c_str()));
    }
    if (args.size() < 2) {
        return usage();
    }
    const Window w = std::strtoul(args[1].c_str(), nullptr, 10);

    if (command == "level" && args.size() == 3) {
        std::optional<Box> box;
        if (!poll(std::atof(args[2].c_str()), [&] {
                const auto shot = grab(d, w);
                box = shot ? findLevel(*shot) : std::nullopt;
                return box.has_value();
            })) {
            return 1;
        }
        std::printf("%d %d %d %d\n", box->left, box->top, box->width, box->height);
        return 0;
    }
    if (command == "ball" && args.size() == 2) {
        const auto shot = grab(d, w);
        const auto ball = shot ? findBall(*shot) : std::nullopt;
        if (!ball) {
            return 1;
        }
        std::printf("%.1f %.1f\n", ball->first, ball->second);
        return 0;
    }
    if (command == "click" && args.size() == 4) {
        const int x = std::atoi(args[2].c_str());
        const int y = std::atoi(args[3].c_str());
        sendButton(d, w, ButtonPress, x, y, 0);
        sendButton(d, w, ButtonRelease, x, y, Button1Mask);
        return 0;
    }
    if (command == "move" && args.size() == 4) {
        XWarpPointer(d, None, w, 0, 0, 0, 0, std::atoi(args[2].c_str()),
                     std::atoi(args[3].c_str()));
        XFlush(d);
        return 0;
    }
    if (command == "sweep" && args.size() == 6) {
        const int x = std::atoi(args[2].c_str());
        const int y = std::atoi(args[3].c_str());
        const int width = std::max(1, std::atoi(args[4].c_str()));
        const auto step = std::chrono::microseconds(16667);
        auto next = std::chrono::steady_clock::now();
        const auto end = next + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                    std::chrono::duration<double>(std::atof(args[5].c_str())));
        for (int i = 0; next < end; ++i) {
            const int along = i % (2 * width);
            XWarpPointer(d, None, w, 0, 0, 0, 0, x + (along < width ? along : 2 * width - along),
                         y);
            XFlush(d);
            next += step;
            std::this_thread::sleep_until(next);
        }
        return 0;
    }
    if (command == "pixel" && args.size() == 4) {
        const int x = std::atoi(args[2].c_str());
        const int y = std::atoi(args[3].c_str());
        const auto shot = grab(d, w);
        if (!shot || x < 0 || y < 0 || x >= shot->width || y >= shot->height) {
            return 1;
        }
        const Rgb& p = shot->at(x, y);
        std::printf("%d %d %d\n", p.r, p.g, p.b);
        return 0;
    }
    if (command == "region" && args.size() == 6) {
        const auto shot = grab(d, w);
        if (!shot) {
            return 1;
        }
        std::printf("%016llx\n", static_cast<unsigned long long>(regionChecksum(
                                     *shot, std::atoi(args[2].c_str()), std::atoi(args[3].c_str()),
                                     std::atoi(args[4].c_str()), std::atoi(args[5].c_str()))));
        return 0;
    }
    if (command == "ballsteps" && args.size() == 3) {
        const auto end = std::chrono::steady_clock::now() +
                         std::chrono::duration<double>(std::atof(args[2].c_str()));
        std::optional<std::pair<double, double>> last;
        int steps = 0;
        while (std::chrono::steady_clock::now() < end) {
            const auto shot = grab(d, w);
            const auto ball = shot ? findBall(*shot) : std::nullopt;
            if (ball && last && *ball != *last) {
                ++steps;
            }
            if (ball) {
                last = ball;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::printf("%d\n", steps);
        return 0;
    }
    if (command == "storm" && args.size() == 4) {
        const int n = std::atoi(args[2].c_str());
        std::mt19937 rng(static_cast<unsigned>(std::strtoul(args[3].c_str(), nullptr, 10)));
        std::uniform_real_distribution<double> magnitude(0.0, std::log(8000.0));
        const auto side = [&] {
            return static_cast<unsigned>(std::lround(std::exp(magnitude(rng))));
        };
        for (int i = 0; i < n; ++i) {
            XResizeWindow(d, w, side(), side());
            if (i % 25 == 0) {
                XIconifyWindow(d, w, DefaultScreen(d));
                XSync(d, False);
                XMapWindow(d, w);
            }
            XSync(d, False);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        XMoveResizeWindow(d, w, 0, 0, 600, 760);
        XSync(d, False);
        return 0;
    }
    if (command == "keys" && args.size() >= 3) {
        XSetInputFocus(d, w, RevertToParent, CurrentTime);
        XSync(d, False);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        for (std::size_t i = 2; i < args.size(); ++i) {
            const bool ok = args[i].rfind("text:", 0) == 0 ? typeText(d, args[i].substr(5))
                                                           : pressKeyName(d, args[i]);
            if (!ok) {
                std::fprintf(stderr, "kestro-xwin: cannot press '%s'\n", args[i].c_str());
                return 2;
            }
        }
        return 0;
    }
    if (command == "changes" && args.size() == 7) {
        const int x = std::atoi(args[2].c_str());
        const int y = std::atoi(args[3].c_str());
        const int width = std::atoi(args[4].c_str());
        const int height = std::atoi(args[5].c_str());
        const auto end = std::chrono::steady_clock::now() +
                         std::chrono::duration<double>(std::atof(args[6].c_str()));
        std::optional<std::uint64_t> last;
        int changes = 0;
        while (std::chrono::steady_clock::now() < end) {
            const auto shot = grab(d, w);
            if (!shot) {
                return 1;
            }
            const std::uint64_t sum = regionChecksum(*shot, x, y, width, height);
            if (last && sum != *last) {
                ++changes;
            }
            last = sum;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::printf("%d\n", changes);
        return 0;
    }
    if (command == "minimize" && args.size() == 2) {
        XIconifyWindow(d, w, DefaultScreen(d));  // WM_CHANGE_STATE to the window manager
        XFlush(d);
        return poll(5, [&] { return isIconic(d, w) && !isViewable(d, w); }) ? 0 : 1;
    }
    if (command == "focus" && args.size() == 2) {
        requestActivation(d, w);
        // Shown and at rest in the same place twice in a row: a window manager may move a window
        // shown again from its icon's place to its own.
        constexpr std::pair<int, int> kNowhere{-1, -1};
        std::pair<int, int> last = kNowhere;
        return poll(5,
                    [&] {
                        const auto place = isActive(d, w) ? placeOnScreen(d, w) : std::nullopt;
                        const bool rest = place && *place == last;
                        last = place.value_or(kNowhere);
                        return rest;
                    })
                   ? 0
                   : 1;
    }
    if (command == "damage" && args.size() == 3) {
        char* rest = nullptr;
        const double seconds = std::strtod(args[2].c_str(), &rest);
        if (rest == args[2].c_str() || *rest != '\0' || !(seconds >= 0)) {
            return usage();
        }
        return countDamage(d, w, seconds);
    }
    if (command == "close" && args.size() == 2) {
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = w;
        ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
        ev.xclient.data.l[1] = CurrentTime;
        XSendEvent(d, w, False, NoEventMask, &ev);
        XFlush(d);
        return 0;
    }
    return usage();
}
