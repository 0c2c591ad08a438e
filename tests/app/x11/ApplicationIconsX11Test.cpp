#include <gtest/gtest.h>
#include <xcb/xcb_image.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <cmath>
#include <memory>

#include "X11TestDesktop.h"
#include "app/X11ApplicationIconProvider.h"
#include "panels/GlanceHeader.h"
#include "panels/WindowSearchRowDelegate.h"
#include "panels/WindowSearchState.h"
#include "panels/WindowSearchView.h"
#include "platform/linux/IconLookup.h"
#include "platform/x11/X11DesktopState.h"
#include "platform/x11/X11ShellContent.h"
#include "platform/x11/shell/X11DockBar.h"
#include "platform/x11/shell/X11DockLayout.h"
#include "platform/x11/shell/X11ShellRenderer.h"

namespace pellucine {
namespace {

using testing::TestXterm;
using testing::X11PortTest;
using testing::X11TestDesktop;

// Mousepad in a process of its own, with its settings in memory; killed at the end of the test.
class TestMousepad {
  public:
    explicit TestMousepad(const X11TestDesktop& desktop) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("memory"));
        environment.insert(QStringLiteral("NO_AT_BRIDGE"), QStringLiteral("1"));
        process_.setProcessEnvironment(environment);
        process_.setProgram(QStringLiteral("mousepad"));
        process_.setArguments({QStringLiteral("--disable-server")});
        process_.start();
        if (process_.waitForStarted(5000)) {
            window_ = testing::waitUntilPlaced(desktop, QStringLiteral("Untitled 1 - Mousepad"));
        }
    }
    ~TestMousepad() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    std::optional<xcb_window_t> window() const { return window_; }
    qint32 pid() const { return static_cast<qint32>(process_.processId()); }

  private:
    QProcess process_;
    std::optional<xcb_window_t> window_;
};

// How far apart two pictures of one icon are, from 0 (the same) to 255: the mean difference of
// their colour channels at half their size (which evens out where a view draws between pixels),
// over the pixels `expected` covers fully (the views draw icons on grounds of their own, which
// show through the rest). 255 when it covers none.
double difference(const QImage& shown, const QImage& expected) {
    const int coarse = std::max(1, expected.width() / 2);
    const auto scaled = [coarse](const QImage& image) {
        return image.convertToFormat(QImage::Format_ARGB32)
            .scaled(coarse, coarse, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    };
    const QImage a = scaled(shown);
    const QImage b = scaled(expected);
    double sum = 0;
    int counted = 0;
    for (int y = 0; y < coarse; ++y) {
        for (int x = 0; x < coarse; ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            if (qAlpha(q) < 250) {
                continue;
            }
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
            counted += 3;
        }
    }
    return counted == 0 ? 255 : sum / counted;
}

// Close to the icon the lookup finds, and farther from the generic symbol.
constexpr double sameIcon = 24;

// Mousepad and an xterm of their own beside the fixture's, the port's Dock bar wanted, and the
// icons the program's panels use.
class ApplicationIconsX11Test : public X11PortTest {
  protected:
    void SetUp() override {
        X11PortTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        mousepad = std::make_unique<TestMousepad>(*desktop);
        ASSERT_TRUE(mousepad->window()) << "mousepad did not appear";
        xterm = std::make_unique<TestXterm>(*desktop, QStringLiteral("icons-xterm"),
                                            QStringLiteral("50x10+300+200"));
        ASSERT_TRUE(xterm->window()) << "the xterm did not appear";
        icons = std::make_unique<X11ApplicationIconProvider>(port->state());
        port->dockBar().setWanted(true);
    }
    void TearDown() override {
        if (port) {
            port->dockBar().setWanted(false);
        }
        xterm.reset();
        mousepad.reset();
    }

    std::optional<X11Application> application(qint32 pid) {
        testing::settle(port->state().connection());
        for (const X11Application& app : port->state().applications()) {
            if (app.pid == pid) {
                return app;
            }
        }
        return std::nullopt;
    }

    // What the glance's header draws for the application, where it draws its icon.
    QImage glanceIcon(qint32 pid, const QString& name) {
        GlanceHeader header(false, {}, {});
        header.setApplication(name, pid, icons->icon(pid), 1);
        header.resize(420, header.sizeHint().height());
        const QRectF box(GlanceHeader::sidePadding,
                         header.nameRect().center().y() - GlanceHeader::iconSide / 2.0,
                         GlanceHeader::iconSide, GlanceHeader::iconSide);
        return header.grab().toImage().copy(box.toRect());
    }

    // What the search panel draws in a row of the application's windows, where it draws its
    // icon; the row is not the selected one.
    QImage searchRowIcon(qint32 pid, const QString& name) {
        QList<WindowSearch::Candidate> candidates;
        for (int i = 0; i < 2; ++i) {
            WindowSearch::Candidate c;
            c.window.id = static_cast<quint32>(i + 1);
            c.window.title = QStringLiteral("window %1").arg(i + 1);
            c.window.applicationName = name;
            c.window.ownerPID = pid;
            candidates.append(c);
        }
        WindowSearchState state;
        state.setTotalCount(candidates.size());
        state.setCandidates(candidates);
        state.refresh();
        WindowSearchView view(state, WindowSearchView::Callbacks{}, icons.get());
        view.resize(640, 400);
        view.show();
        QCoreApplication::processEvents();
        const QImage picture = view.grab().toImage();
        QListView* list = view.list();
        const QRect row = list->visualRect(list->model()->index(1, 0));
        const QPoint origin = list->viewport()->mapTo(&view, row.topLeft());
        const QRectF icon(origin.x() + WindowSearchRowDelegate::horizontalPadding,
                          origin.y() + row.height() / 2.0 - WindowSearchRowDelegate::iconSide / 2.0,
                          WindowSearchRowDelegate::iconSide, WindowSearchRowDelegate::iconSide);
        return picture.copy(icon.toRect());
    }

    // What the Dock bar shows on the screen for the application, where it draws its icon; null
    // while it has no item for it.
    QImage dockIcon(qint32 pid) {
        testing::settle(port->state().connection());
        const auto shell = port->state().shell();
        if (!shell || !port->dockBar().isShowing()) {
            return {};
        }
        for (const X11ShellContent::Item& item : shell->dock.items) {
            if (item.processIdentifier != pid) {
                continue;
            }
            const QRect cell = item.frame.toQt().toRect();
            const int side = static_cast<int>(X11DockLayout::iconPoints);
            const QRect icon(cell.x() + (cell.width() - side) / 2,
                             cell.y() + (cell.height() - side) / 2, side, side);
            return screenPixels(icon);
        }
        return {};
    }
    QImage screenPixels(const QRect& rect) const {
        xcb_image_t* image = xcb_image_get(desktop->get(), desktop->root(), int16_t(rect.x()),
                                           int16_t(rect.y()), uint16_t(rect.width()),
                                           uint16_t(rect.height()), ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP);
        if (image == nullptr) {
            return {};
        }
        QImage picture(rect.size(), QImage::Format_RGB32);
        for (int y = 0; y < rect.height(); ++y) {
            for (int x = 0; x < rect.width(); ++x) {
                picture.setPixel(x, y, xcb_image_get_pixel(image, x, y) | 0xff000000u);
            }
        }
        xcb_image_destroy(image);
        return picture;
    }

    // Each view shows the icon the lookup finds for the application's desktop entry, not the
    // generic symbol.
    void expectItsOwnIconEverywhere(qint32 pid) {
        std::optional<X11Application> app;
        ASSERT_TRUE(
            X11TestDesktop::waitUntil([&] { return (app = application(pid)).has_value(); }));
        SCOPED_TRACE(app->identity.identifier.value_or(QString()).toStdString());
        const QString name = app->identity.name.value_or(QStringLiteral("?"));
        ASSERT_FALSE(app->identity.icon.isEmpty()) << "found through its desktop entry";
        const auto expected = [&](int side) {
            return IconLookup::fromIconValue(app->identity.icon, side);
        };
        ASSERT_FALSE(expected(64).isNull()) << app->identity.icon.toStdString();

        const QImage glance = glanceIcon(pid, name);
        const int glanceSide = GlanceHeader::iconSide;
        EXPECT_LT(difference(glance, expected(glanceSide)), sameIcon);
        EXPECT_LT(difference(glance, expected(glanceSide)),
                  difference(glance, X11ShellRenderer::genericIcon(glanceSide)));

        const QImage row = searchRowIcon(pid, name);
        const int rowSide = WindowSearchRowDelegate::iconSide;
        EXPECT_LT(difference(row, expected(rowSide)), sameIcon);
        EXPECT_LT(difference(row, expected(rowSide)),
                  difference(row, X11ShellRenderer::genericIcon(rowSide)));

        // The bar draws once the window manager has placed it; until then the pixels are the
        // screen's.
        const int dockSide = static_cast<int>(X11DockLayout::iconPoints);
        QImage dock;
        EXPECT_TRUE(X11TestDesktop::waitUntil([&] {
            dock = dockIcon(pid);
            return !dock.isNull() && difference(dock, expected(dockSide)) < sameIcon;
        })) << "the Dock bar's icon is "
            << (dock.isNull() ? 255 : difference(dock, expected(dockSide))) << " away";
        if (!dock.isNull()) {
            EXPECT_LT(difference(dock, expected(dockSide)),
                      difference(dock, X11ShellRenderer::genericIcon(dockSide)));
        }
    }

    std::unique_ptr<TestMousepad> mousepad;
    std::unique_ptr<TestXterm> xterm;
    std::unique_ptr<X11ApplicationIconProvider> icons;
};

TEST_F(ApplicationIconsX11Test, TheGlanceASearchRowAndTheDockBarShowMousepadsOwnIcon) {
    expectItsOwnIconEverywhere(mousepad->pid());
}

TEST_F(ApplicationIconsX11Test, TheGlanceASearchRowAndTheDockBarShowTheXtermsOwnIcon) {
    expectItsOwnIconEverywhere(static_cast<qint32>(xterm->pid()));
}

}  // namespace
}  // namespace pellucine
