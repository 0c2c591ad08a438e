#include "panels/FloatingPanel.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QPainterPath>
#include <QRegion>
#include <QResizeEvent>
#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/x11/X11Atoms.h"

namespace pellucine {

namespace {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

xcb_connection_t* x11Connection() {
    const auto* x11 = qGuiApp == nullptr
                          ? nullptr
                          : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 == nullptr ? nullptr : x11->connection();
}

xcb_atom_t internAtom(xcb_connection_t* connection, const QByteArray& name) {
    const std::array<const char*, 1> names{name.constData()};
    return internAtoms(connection, names).front();
}

// The X screen number in DISPLAY (":0.1" is screen 1); 0 when it names none.
int displayScreenNumber() {
    const QByteArray display = qgetenv("DISPLAY");
    const qsizetype colon = display.lastIndexOf(':');
    const qsizetype dot = display.lastIndexOf('.');
    if (colon < 0 || dot < colon) {
        return 0;
    }
    bool ok = false;
    const int number = display.mid(dot + 1).toInt(&ok);
    return ok ? number : 0;
}

// Every desktop, in _NET_WM_DESKTOP.
constexpr uint32_t allDesktops = 0xFFFFFFFF;

}  // namespace

FloatingPanel::FloatingPanel(bool passesInput, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus | Qt::X11BypassWindowManagerHint |
                          (passesInput ? Qt::WindowTransparentForInput : Qt::WindowFlags())),
      passesInput_(passesInput) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setFocusPolicy(Qt::NoFocus);
}

FloatingPanel::~FloatingPanel() = default;

void FloatingPanel::setTranslucent(bool translucent) {
    if (translucent_ != translucent) {
        translucent_ = translucent;
        surfaceApplied_ = false;
    }
}

void FloatingPanel::setShape(qreal inset, qreal radius) {
    shapeInset_ = inset;
    shapeRadius_ = radius;
    updateMask();
}

void FloatingPanel::setContent(QWidget* content) {
    if (content_ == content) {
        return;
    }
    if (content_) {
        content_->hide();
        content_->deleteLater();
    }
    content_ = content;
    if (content_) {
        content_->setParent(this);
        content_->setGeometry(rect());
        content_->show();
    }
}

void FloatingPanel::orderFront(const QRect& geometry) {
    if (!surfaceApplied_) {
        applySurface();
    }
    setGeometry(geometry);
    if (!isVisible()) {
        applyBackdrop();
        show();
    }
    raise();
    applyDesktopHints();
    updateMask();
}

void FloatingPanel::orderOut() {
    hide();
}

void FloatingPanel::prepare() {
    if (isVisible()) {
        return;
    }
    if (!surfaceApplied_) {
        applySurface();
    }
    create();
    internHintAtoms();
}

void FloatingPanel::internHintAtoms() {
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr || atoms_) {
        return;
    }
    static constexpr std::array<const char*, 6> names{"_NET_WM_STATE",
                                                      "_NET_WM_STATE_ABOVE",
                                                      "_NET_WM_STATE_STICKY",
                                                      "_NET_WM_STATE_SKIP_TASKBAR",
                                                      "_NET_WM_STATE_SKIP_PAGER",
                                                      "_NET_WM_DESKTOP"};
    const std::vector<xcb_atom_t> atoms = internAtoms(connection, names);
    atoms_ = HintAtoms{atoms[0], atoms[1], atoms[2], atoms[3], atoms[4], atoms[5]};
}

void FloatingPanel::applySurface() {
    // The window's visual follows the attribute only when the native window is made, so a
    // change of surface makes it again.
    if (testAttribute(Qt::WA_WState_Created) &&
        testAttribute(Qt::WA_TranslucentBackground) != translucent_) {
        hide();
        destroy(true, true);
    }
    setAttribute(Qt::WA_TranslucentBackground, translucent_);
    surfaceApplied_ = true;
}

void FloatingPanel::applyDesktopHints() {
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr || windowHandle() == nullptr) {
        return;
    }
    internHintAtoms();
    const auto window = static_cast<xcb_window_t>(winId());
    const std::array<xcb_atom_t, 4> states{atoms_->above, atoms_->sticky, atoms_->skipTaskbar,
                                           atoms_->skipPager};
    if (atoms_->state != XCB_NONE) {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atoms_->state, XCB_ATOM_ATOM,
                            32, static_cast<uint32_t>(states.size()), states.data());
    }
    if (atoms_->desktop != XCB_NONE) {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atoms_->desktop,
                            XCB_ATOM_CARDINAL, 32, 1, &allDesktops);
    }
    xcb_flush(connection);
}

void FloatingPanel::applyBackdrop() {
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr || translucent_ || !backdrop_.isValid()) {
        return;
    }
    // An opaque panel has the screen's default visual, whose pixels are 0xRRGGBB.
    const uint32_t pixel = backdrop_.rgb() & 0xFFFFFFU;
    xcb_change_window_attributes(connection, static_cast<xcb_window_t>(winId()), XCB_CW_BACK_PIXEL,
                                 &pixel);
    xcb_flush(connection);
}

void FloatingPanel::updateMask() {
    if (translucent_ || shapeRadius_ <= 0) {
        clearMask();
        return;
    }
    QPainterPath path;
    path.addRoundedRect(
        QRectF(rect()).adjusted(shapeInset_, shapeInset_, -shapeInset_, -shapeInset_), shapeRadius_,
        shapeRadius_);
    setMask(QRegion(path.toFillPolygon().toPolygon()));
}

void FloatingPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (content_) {
        content_->setGeometry(rect());
    }
    updateMask();
}

bool FloatingPanel::compositingManagerRunning() {
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr) {
        return true;
    }
    const xcb_atom_t selection =
        internAtom(connection, "_NET_WM_CM_S" + QByteArray::number(displayScreenNumber()));
    if (selection == XCB_NONE) {
        return false;
    }
    const std::unique_ptr<xcb_get_selection_owner_reply_t, FreeDeleter> reply(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection),
                                      nullptr));
    return reply && reply->owner != XCB_NONE;
}

}  // namespace pellucine
