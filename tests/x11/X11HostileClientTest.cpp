#include <gmock/gmock.h>

#include <QFile>
#include <QSet>
#include <QTimer>

#include "X11TestDesktop.h"
#include "base/QtScheduler.h"
#include "base/RecordingEventLog.h"
#include "core/AccessibilityWindowService.h"
#include "core/ScreenCapturePreviewService.h"
#include "core/WindowServiceError.h"
#include "platform/ScreenCaptureError.h"
#include "platform/x11/wiring/X11Desktop.h"

namespace pellucine {
namespace {

using testing::await;
using testing::TestClient;
using testing::X11PortTest;
using testing::X11TestDesktop;

const char* const hostileNames[] = {"pid-zero",  "pid-negative", "pid-init", "pid-huge",
                                    "pid-other", "pid-short",    "text",     "long-title",
                                    "extents",   "hints"};

// The windows of the fixture's hostile client, which sets on them what no sound client would:
// process ids that are none or another's, malformed and endless texts, absurd frame extents and
// size hints. The program must take them without crashing, and never pass on a process or a
// frame they make up.
class X11HostileClientTest : public X11PortTest {
  protected:
    void SetUp() override {
        X11PortTest::SetUp();
        if (!port) {
            return;
        }
        QFile file(QStringLiteral(PELLUCINE_X11_STATE "/hostile-client.pid"));
        if (!file.open(QIODevice::ReadOnly)) {
            GTEST_SKIP() << "The desktop has no hostile client";
        }
        owner = file.readAll().trimmed().toInt();
        ASSERT_GT(owner, 1);
    }

    xcb_window_t hostile(const char* name) const {
        return desktop->findClient(QStringLiteral("pellucine-hostile-") + QLatin1String(name))
            .value_or(XCB_NONE);
    }

    // The window as the port reads it now.
    std::optional<X11WindowInfo> read(xcb_window_t window) {
        port->state().invalidate();
        return port->state().window(window);
    }

    void set32(xcb_window_t window, const char* property, const QList<quint32>& values) const {
        xcb_change_property(desktop->get(), XCB_PROP_MODE_REPLACE, window, desktop->atom(property),
                            XCB_ATOM_CARDINAL, 32, static_cast<uint32_t>(values.size()),
                            values.constData());
        desktop->sync();
    }

    qint32 owner = 0;
};

TEST_F(X11HostileClientTest, EveryWindowBelongsToTheProcessTheServerKnows) {
    const qint32 limit = ProcessInfo().pidLimit();
    QList<xcb_window_t> windows;
    for (const char* name : hostileNames) {
        const xcb_window_t window = hostile(name);
        ASSERT_NE(window, XCB_NONE) << name;
        const auto info = read(window);
        ASSERT_TRUE(info) << name;
        EXPECT_EQ(info->pid, owner) << name;
        windows.append(window);
    }

    // One application holds them all; the process one of them claims keeps its own window only.
    const auto application = port->state().application(owner);
    ASSERT_TRUE(application);
    EXPECT_THAT(application->windows, ::testing::UnorderedElementsAreArray(windows));
    const auto alpha = desktop->findClient(QStringLiteral("pellucine-alpha"));
    ASSERT_TRUE(alpha);
    const auto alphaApplication = port->state().application(*desktop->pidOf(*alpha));
    ASSERT_TRUE(alphaApplication);
    EXPECT_EQ(alphaApplication->windows, QList<xcb_window_t>{*alpha});

    // Nothing the port hands on names a process that cannot be.
    for (const RunningApplication& app : port->workspace().runningApplications()) {
        EXPECT_TRUE(ProcessInfo::isPlausiblePid(app.processIdentifier, limit))
            << app.processIdentifier;
    }
    for (const WindowListEntry& entry : port->windowList().windows({})) {
        ASSERT_TRUE(entry.ownerPID);
        EXPECT_TRUE(ProcessInfo::isPlausiblePid(*entry.ownerPID, limit)) << *entry.ownerPID;
    }
}

TEST_F(X11HostileClientTest, TextsAreReadWithinBoundsAsText) {
    const auto text = read(hostile("text"));
    ASSERT_TRUE(text);
    EXPECT_TRUE(text->title.startsWith(QStringLiteral("bad "))) << text->title.toStdString();
    EXPECT_TRUE(text->title.contains(QStringLiteral(" utf8 ")));
    EXPECT_TRUE(text->title.contains(QStringLiteral(" tab here")));
    EXPECT_TRUE(text->title.contains(QChar::ReplacementCharacter));
    const auto isControl = [](QChar c) { return c.unicode() < 0x20; };
    EXPECT_TRUE(std::none_of(text->title.begin(), text->title.end(), isControl));
    // WM_CLASS without its terminating NUL or a class.
    EXPECT_EQ(text->resourceName, QStringLiteral("hostile name"));
    EXPECT_EQ(text->resourceClass, QString());
    EXPECT_TRUE(text->gtkApplicationId.startsWith(QStringLiteral("org.")));

    // 300000 bytes of three-byte characters, read up to the bound: whole characters only.
    const auto long_ = read(hostile("long-title"));
    ASSERT_TRUE(long_);
    EXPECT_EQ(long_->title, QString(4096 / 3, QChar(0x20AC)));
}

TEST_F(X11HostileClientTest, AbsurdFrameExtentsAndSizeHintsAreIgnored) {
    const auto extents = read(hostile("extents"));
    ASSERT_TRUE(extents);
    EXPECT_EQ(extents->extents, X11FrameExtents{});
    EXPECT_EQ(extents->frameRect(), extents->clientRect);
    EXPECT_EQ(extents->clientRect.size(), QSize(120, 90));

    const xcb_window_t hints = hostile("hints");
    const auto info = read(hints);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->sizeIncrement, QSize(1, 1));
    EXPECT_EQ(info->gravity, uint32_t{XCB_GRAVITY_NORTH_WEST});

    // The bound itself: on a window whose client leaves its extents to the window manager.
    set32(hints, "_NET_FRAME_EXTENTS", {1, 1, 22, X11FrameExtents::maximum});
    EXPECT_EQ(read(hints)->extents, (X11FrameExtents{1, 1, 22, X11FrameExtents::maximum}));
    set32(hints, "_NET_FRAME_EXTENTS", {1, 1, 22, X11FrameExtents::maximum + 1});
    EXPECT_EQ(read(hints)->extents, X11FrameExtents{});
    set32(hints, "_NET_FRAME_EXTENTS", {1, 1, 22});
    EXPECT_EQ(read(hints)->extents, X11FrameExtents{});
    set32(hints, "_NET_FRAME_EXTENTS", {1, 1, 22, 5});
    EXPECT_EQ(read(hints)->extents, (X11FrameExtents{1, 1, 22, 5}));
}

TEST_F(X11HostileClientTest, EnumerationAndCaptureTakeEveryHostileWindow) {
    RecordingEventLog events;
    AccessibilityWindowService windows(*port, events);
    QtScheduler scheduler{systemContinuousClock()};
    ScreenCapturePreviewService capture(port->screenCapture(), scheduler);

    port->state().invalidate();
    const QList<ApplicationDescriptor> applications = windows.snapshot();
    const auto enumeration = events.last(QStringLiteral("window-enumeration"));
    ASSERT_TRUE(enumeration);
    EXPECT_EQ(enumeration->fields.value(QStringLiteral("rejectedWindowCount")),
              QStringLiteral("0"));
    for (const char* name : hostileNames) {
        const xcb_window_t window = hostile(name);
        std::optional<WindowDescriptor> found;
        for (const ApplicationDescriptor& app : applications) {
            for (const WindowDescriptor& w : app.windows) {
                if (w.id == window) {
                    found = w;
                }
            }
        }
        ASSERT_TRUE(found) << name;
        EXPECT_EQ(found->ownerPID, owner) << name;
        // The client's own area at least, and the decorations only when they are sane.
        const QRect frame = desktop->frameOf(window);
        EXPECT_GE(found->frame.x, frame.x()) << name;
        EXPECT_GE(found->frame.y, frame.y()) << name;
        EXPECT_LE(found->frame.x + found->frame.width, frame.x() + frame.width()) << name;
        EXPECT_LE(found->frame.y + found->frame.height, frame.y() + frame.height()) << name;
        EXPECT_GE(found->frame.width, 120) << name;
        EXPECT_GE(found->frame.height, 90) << name;

        capture.invalidateContent();
        std::exception_ptr failure;
        const auto image = await(capture.capture(*found, 100), failure);
        EXPECT_FALSE(failure) << name;
        ASSERT_TRUE(image) << name;
        EXPECT_EQ(image->size(), ScreenCapturePreviewService::pixelSize(
                                     Size{found->frame.width, found->frame.height}, 100))
            << name;
    }
}

// Windows listed on the root are whatever a client wrote there: copies of the root, windows
// that take no part in the desktop, the same window again and again, more than any desktop has.
TEST_F(X11HostileClientTest, ClientListsKeepOnlyWhatCanBeAClient) {
    xcb_connection_t* c = desktop->get();
    const auto alpha = desktop->findClient(QStringLiteral("pellucine-alpha"));
    ASSERT_TRUE(alpha);
    const xcb_atom_t stackingAtom = desktop->atom("_NET_CLIENT_LIST_STACKING");
    const xcb_atom_t listAtom = desktop->atom("_NET_CLIENT_LIST");

    // Puts the window manager's lists back however the test ends.
    struct Restore {
        const X11TestDesktop& desktop;
        xcb_atom_t atom;
        QList<xcb_window_t> saved;
        xcb_atom_t listAtom;
        QList<xcb_window_t> savedList;
        QList<xcb_window_t> inputOnly;
        ~Restore() {
            QList<xcb_window_t> bottomToTop = saved;
            std::reverse(bottomToTop.begin(), bottomToTop.end());
            xcb_change_property(desktop.get(), XCB_PROP_MODE_REPLACE, desktop.root(), atom,
                                XCB_ATOM_WINDOW, 32, static_cast<uint32_t>(bottomToTop.size()),
                                bottomToTop.constData());
            xcb_change_property(desktop.get(), XCB_PROP_MODE_REPLACE, desktop.root(), listAtom,
                                XCB_ATOM_WINDOW, 32, static_cast<uint32_t>(savedList.size()),
                                savedList.constData());
            for (const xcb_window_t window : inputOnly) {
                xcb_destroy_window(desktop.get(), window);
            }
            desktop.sync();
        }
    } restore{*desktop, stackingAtom, desktop->stacking(), listAtom, desktop->clients(), {}};

    const auto inputOnlyCount = X11WindowReader::maximumClients + 200;
    for (qsizetype i = 0; i < inputOnlyCount; ++i) {
        const xcb_window_t window = xcb_generate_id(c);
        xcb_create_window(c, 0, window, desktop->root(), 0, 0, 10, 10, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        restore.inputOnly.append(window);
    }
    // Bottom to top: a window never created, the root many times over, the InputOnly windows,
    // then the xterm twice on top.
    QList<xcb_window_t> hostileList{0x1fffffff};
    hostileList.append(QList<xcb_window_t>(5000, desktop->root()));
    hostileList.append(restore.inputOnly);
    hostileList << *alpha << desktop->root() << *alpha;
    for (const xcb_atom_t atom : {stackingAtom, listAtom}) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, desktop->root(), atom, XCB_ATOM_WINDOW, 32,
                            static_cast<uint32_t>(hostileList.size()), hostileList.constData());
    }
    desktop->sync();

    const X11WindowReader reader(*connection);
    const QList<xcb_window_t> clients = reader.clientsFrontToBack();
    EXPECT_EQ(clients.size(), X11WindowReader::maximumClients);
    EXPECT_EQ(clients.first(), *alpha);
    EXPECT_FALSE(clients.contains(desktop->root()));
    EXPECT_EQ(clients.count(*alpha), 1);

    QList<xcb_window_t> read;
    for (const X11WindowInfo& info : reader.read().windows) {
        read.append(info.window);
    }
    EXPECT_EQ(read, QList<xcb_window_t>{*alpha});
    EXPECT_FALSE(reader.clientNumbers().contains(desktop->root()));

    // 65,536 windows never created, then the xterm on top: what is kept per read stays bounded.
    QList<xcb_window_t> bogus;
    for (xcb_window_t window = 0x1e000000; bogus.size() < 65536; ++window) {
        bogus.append(window);
    }
    bogus << *alpha;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, desktop->root(), stackingAtom, XCB_ATOM_WINDOW,
                        32, static_cast<uint32_t>(bogus.size()), bogus.constData());
    desktop->sync();
    const QSet<quint32> numbers = reader.clientNumbers();
    EXPECT_LE(numbers.size(), 2 * X11WindowReader::maximumClients);
    EXPECT_TRUE(numbers.contains(*alpha));
    EXPECT_EQ(reader.clientsFrontToBack().first(), *alpha);
    // Only the stacking list is bogus: none of its windows is read.
    read.clear();
    for (const X11WindowInfo& info : reader.read().windows) {
        read.append(info.window);
    }
    EXPECT_EQ(read, QList<xcb_window_t>{*alpha});
}

// A client that maps and destroys windows without pause: a window listed may be gone before its
// properties are read, or between any two of them.
TEST_F(X11HostileClientTest, WindowsThatComeAndGoNeverBreakARead) {
    auto churn = std::make_unique<TestClient>(QStringList{QStringLiteral("churn")});
    ASSERT_TRUE(churn->isRunning());
    const auto churner = static_cast<qint32>(churn->pid());
    ASSERT_TRUE(X11TestDesktop::waitUntil(
        [&] { return desktop->findClient(QStringLiteral("pellucine-churn")).has_value(); }));

    RecordingEventLog events;
    AccessibilityWindowService windows(*port, events);
    QtScheduler scheduler{systemContinuousClock()};
    ScreenCapturePreviewService capture(port->screenCapture(), scheduler);
    int churnWindowsSeen = 0;

    for (int round = 0; round < 30; ++round) {
        port->state().invalidate();
        for (const X11WindowInfo& info : port->state().snapshot().windows) {
            // Every window listed was there for all of its reads: none lacks its title.
            EXPECT_FALSE(info.title.isEmpty()) << info.window;
            if (info.title == QStringLiteral("pellucine-churn")) {
                ++churnWindowsSeen;
                // Claims no process: the server's, or none once the window is gone.
                EXPECT_TRUE(!info.pid || *info.pid == churner);
                EXPECT_EQ(info.clientRect.size(), QSize(120, 90));
            }
        }
        port->workspace().runningApplications();
        // One picture every few rounds: of the churner's front window.
        bool pictured = round % 10 != 0;
        for (const ApplicationDescriptor& app : windows.snapshot()) {
            for (const WindowDescriptor& w : app.windows) {
                if (w.title != QStringLiteral("pellucine-churn")) {
                    continue;
                }
                EXPECT_EQ(w.ownerPID, churner);
                if (pictured) {
                    continue;
                }
                pictured = true;
                // Pictured, or gone: nothing else.
                capture.invalidateContent();
                std::exception_ptr failure;
                const auto image = await(capture.capture(w, 100), failure);
                if (failure) {
                    EXPECT_FALSE(image);
                    try {
                        std::rethrow_exception(failure);
                    } catch (const ScreenCaptureError&) {
                    } catch (const WindowServiceError&) {
                    } catch (...) {
                        ADD_FAILURE() << "another error";
                    }
                }
            }
        }
    }
    EXPECT_GT(churnWindowsSeen, 0);

    churn.reset();
    EXPECT_TRUE(X11TestDesktop::waitUntil(
        [&] { return !desktop->findClient(QStringLiteral("pellucine-churn")).has_value(); }));
}

// A client changing its window without pause floods the program with notices: they are handled
// a share at each turn of the event loop, so that timers and all other work still run.
TEST_F(X11HostileClientTest, AFloodOfNoticesLeavesTheEventLoopRunning) {
    TestClient client;
    QSet<xcb_window_t> followed;
    QObject::connect(&port->state().events(), &X11WindowEvents::windowEvent,
                     [&](const X11WindowEvent& e) {
                         if (e.kind == X11WindowEvent::Kind::created) {
                             followed.insert(e.window);
                         }
                     });
    const auto window = client.openWindow(*desktop, QStringLiteral("pellucine-flood"));
    ASSERT_TRUE(window);
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return followed.contains(*window); }));

    // A timer started as the first notice is handled runs before the last one is.
    int handled = 0;
    std::optional<int> handledAtTimer;
    QObject::connect(
        &port->state().connection(), &X11Connection::eventReceived,
        [&](const xcb_generic_event_t& e) {
            const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(e);
            if ((e.response_type & 0x7f) != XCB_PROPERTY_NOTIFY || notify.window != *window) {
                return;
            }
            if (++handled == 1) {
                QTimer::singleShot(0, [&] { handledAtTimer = handled; });
            }
        });
    // Far more than a turn's share, few enough to keep the window manager (which redraws each
    // title) from falling behind.
    constexpr int changes = 3000;
    ASSERT_TRUE(client.flood(*window, changes));
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return handledAtTimer.has_value(); }));
    // A share or a few, however the event loop orders its sources.
    EXPECT_LE(*handledAtTimer, 4 * static_cast<int>(X11Connection::eventsPerTurn));
}

}  // namespace
}  // namespace pellucine
