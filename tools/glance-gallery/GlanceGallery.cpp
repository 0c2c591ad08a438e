#include "GlanceGallery.h"

#include <QDir>
#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

#include "SampleDesk.h"
#include "design/Yard.h"
#include "panels/FullSizePeekLayout.h"
#include "panels/FullSizePeekView.h"
#include "panels/GlanceContentView.h"
#include "panels/GlanceGeometry.h"
#include "panels/PanelFrames.h"

namespace pellucine::gallery {
namespace {

// The laptop screen the sample panels are sized for.
const ScreenRect laptop{0, 0, static_cast<double>(sampleScreenSize.width()),
                        static_cast<double>(sampleScreenSize.height())};

// A desktop backdrop with one panel on it, so that translucency shows.
class Backdrop : public QWidget {
  public:
    Backdrop(QWidget* panel, QSize panelSize) {
        const QSize margins = sheetMargins(panelSize, sampleScreenSize);
        panel->setParent(this);
        panel->setGeometry(margins.width(), margins.height(), panelSize.width(),
                           panelSize.height());
        setFixedSize(panelSize + 2 * margins);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QLinearGradient gradient(0, 0, width(), height());
        gradient.setColorAt(0, QColor(0x3b, 0x6e, 0x8f));
        gradient.setColorAt(0.5, QColor(0x9a, 0x6c, 0x8e));
        gradient.setColorAt(1, QColor(0xd9, 0xa0, 0x62));
        painter.fillRect(rect(), gradient);
    }
};

WindowDescriptor window(quint32 id, qint32 pid, const QString& application, const QString& title,
                        QSize size = {1600, 1000}) {
    WindowDescriptor w;
    w.id = id;
    w.ownerPID = pid;
    w.ownerBundleIdentifier = QStringLiteral("org.example.") + application.toLower();
    w.applicationName = application;
    w.title = title;
    w.frame = {0, 0, static_cast<double>(size.width()), static_cast<double>(size.height())};
    w.isOnScreen = true;
    return w;
}

struct Glance {
    QList<WindowDescriptor> windows;
    QHash<quint32, QImage> pictures;
    GlanceGeometry::Input input;
    bool translucent = true;
};

QSize ceilSize(const Size& size) {
    return {static_cast<int>(std::ceil(size.width)), static_cast<int>(std::ceil(size.height))};
}

QWidget* glanceSheet(SampleDesk& desk, Glance glance) {
    AppModel& model = desk.model();
    model.switcherSelection().set({glance.windows, 0});
    model.previewImages().set(glance.pictures);
    glance.input.windows = glance.windows;
    glance.input.previewWidth = model.portablePreferences().value().previewWidth;
    glance.input.screens = desk.desktop().screens();
    const GlanceGeometry geometry =
        GlanceGeometry::compute(glance.input, desk.environment().measurer);
    GlanceContentView::Options options{
        geometry.layout,
        glance.input.showsDockControls,
        geometry.usesCompactList,
        glance.input.showsSearchHint,
        glance.input.hasCloseButton ? std::function<void()>([] {}) : std::function<void()>(),
        glance.translucent};
    auto* view = new GlanceContentView(model, desk.environment(), {}, std::move(options));
    return new Backdrop(view, ceilSize(geometry.panelSize));
}

Glance commandTab(SampleDesk& desk, bool translucent) {
    const qint32 pid = 10;
    desk.setIcon(pid, sampleIcon(QStringLiteral("Mail"), QColor(0x3d, 0x7b, 0xd9)));
    Glance g;
    g.windows = {window(101, pid, QStringLiteral("Mail"), QStringLiteral("Inbox — 3 unread")),
                 window(102, pid, QStringLiteral("Mail"), QStringLiteral("Re: Quarterly report")),
                 window(103, pid, QStringLiteral("Mail"), QString()),
                 window(104, pid, QStringLiteral("Mail"), QStringLiteral("Drafts"))};
    g.windows[1].isMinimized = true;
    g.windows[2].isOnScreen = false;
    g.windows[3].isFullScreen = true;
    g.pictures = {{101, samplePicture({1600, 1000}, QColor(0x3d, 0x7b, 0xd9), 0)},
                  {102, samplePicture({1600, 1000}, QColor(0x4f, 0xa3, 0x7c), 1)},
                  {104, samplePicture({1920, 1080}, QColor(0xc9, 0x6b, 0x3c), 2)}};
    g.input.screenFrame = laptop;
    g.input.switcherFrame = ScreenRect{300, 400, 840, 120};
    g.input.showsSearchHint = true;
    g.translucent = translucent;
    return g;
}

Glance privateGlance(SampleDesk& desk) {
    const qint32 pid = 11;
    desk.setIcon(pid, sampleIcon(QStringLiteral("Vault"), QColor(0x2f, 0x2f, 0x3a)));
    Glance g;
    g.windows = {window(201, pid, QStringLiteral("Vault"), QStringLiteral("All Items")),
                 window(202, pid, QStringLiteral("Vault"), QStringLiteral("Bank login"))};
    for (WindowDescriptor& w : g.windows) {
        w.ownerBundleIdentifier = QStringLiteral("com.1password.vault");
    }
    // Pictures held from before the switch was on are still not shown.
    g.pictures = {{201, samplePicture({1600, 1000}, QColor(0x7a, 0x4c, 0xc2), 0)}};
    g.input.screenFrame = laptop;
    g.input.hasCloseButton = true;
    return g;
}

Glance dock(SampleDesk& desk) {
    const qint32 pid = 12;
    desk.setIcon(pid, sampleIcon(QStringLiteral("Notes"), QColor(0xe0, 0xb0, 0x2c)));
    Glance g;
    g.windows = {window(301, pid, QStringLiteral("Notes"), QStringLiteral("Groceries")),
                 window(302, pid, QStringLiteral("Notes"), QStringLiteral("Trip to the coast")),
                 window(303, pid, QStringLiteral("Notes"),
                        QStringLiteral("A rather long note title that does not fit on one line"))};
    g.windows[1].isMinimized = true;
    g.pictures = {{301, samplePicture({1400, 900}, QColor(0xe0, 0xb0, 0x2c), 0)},
                  {302, samplePicture({1400, 900}, QColor(0x9c, 0x8a, 0x5a), 1)},
                  {303, samplePicture({1400, 900}, QColor(0xb8, 0x5c, 0x38), 2)}};
    g.input.screenFrame = laptop;
    g.input.anchor = ScreenPoint{700, 20};
    g.input.dockMode = true;
    g.input.showsDockControls = true;
    return g;
}

Glance compact(SampleDesk& desk) {
    const qint32 pid = 13;
    desk.setIcon(pid, sampleIcon(QStringLiteral("Terminal"), QColor(0x30, 0x30, 0x30)));
    Glance g;
    for (int i = 0; i < 9; ++i) {
        const auto id = static_cast<quint32>(401 + i);
        g.windows.append(window(id, pid, QStringLiteral("Terminal"),
                                QStringLiteral("shell %1 — ~/projects").arg(i + 1)));
        if (i % 3 != 2) {
            g.pictures.insert(id, samplePicture({1200, 800}, QColor(0x2e, 0x8b, 0x57), 1));
        }
    }
    g.windows[4].isMinimized = true;
    g.windows[6].isOnScreen = false;
    g.input.screenFrame = laptop;
    g.input.anchor = ScreenPoint{700, 20};
    g.input.dockMode = true;
    g.input.compactListPreferred = true;
    g.input.showsDockControls = true;
    return g;
}

QWidget* peekSheet(SampleDesk& desk) {
    const qint32 pid = 10;
    desk.setIcon(pid, sampleIcon(QStringLiteral("Mail"), QColor(0x3d, 0x7b, 0xd9)));
    const QImage picture = samplePicture({1600, 1000}, QColor(0x3d, 0x7b, 0xd9), 0);
    const FullSizePeekLayout layout =
        FullSizePeekLayout::fitted(picture.width(), picture.height(), {0, 0, 1000, 700});
    auto* view = new FullSizePeekView(
        window(101, pid, QStringLiteral("Mail"), QStringLiteral("Inbox — 3 unread")), picture,
        layout.pictureSize.toQt(), desk.environment().icons.icon(pid));
    return new Backdrop(view, ceilSize(layout.panelSize));
}

struct GlanceSheet {
    QString name;
    std::function<QWidget*(SampleDesk&)> make;
};

QList<GlanceSheet> sheets() {
    return {
        {QStringLiteral("glance-command-tab"),
         [](SampleDesk& d) { return glanceSheet(d, commandTab(d, true)); }},
        {QStringLiteral("glance-command-tab-opaque"),
         [](SampleDesk& d) { return glanceSheet(d, commandTab(d, false)); }},
        {QStringLiteral("glance-private"),
         [](SampleDesk& d) { return glanceSheet(d, privateGlance(d)); }},
        {QStringLiteral("glance-dock"), [](SampleDesk& d) { return glanceSheet(d, dock(d)); }},
        {QStringLiteral("glance-dock-compact"),
         [](SampleDesk& d) { return glanceSheet(d, compact(d)); }},
        {QStringLiteral("peek"), peekSheet},
    };
}

}  // namespace

QSize sheetMargins(QSize panelSize, QSize screenSize) {
    static constexpr int margin = 28;
    const auto fit = [](int panel, int screen) {
        return std::clamp((screen - panel) / 2, 0, margin);
    };
    return {fit(panelSize.width(), screenSize.width()),
            fit(panelSize.height(), screenSize.height())};
}

QStringList glanceSheetNames() {
    QStringList names;
    for (const GlanceSheet& sheet : sheets()) {
        names.append(sheet.name);
    }
    return names;
}

std::unique_ptr<QWidget> makeGlanceSheet(SampleDesk& desk, const QString& name) {
    for (const GlanceSheet& sheet : sheets()) {
        if (sheet.name == name) {
            return std::unique_ptr<QWidget>(sheet.make(desk));
        }
    }
    return nullptr;
}

Result renderGlances(const QString& folder) {
    Result result = prepareFolder(folder);
    if (!result.error.isEmpty()) {
        return result;
    }
    const QDir dir(folder);
    SampleDesk desk;
    for (const QString& name : glanceSheetNames()) {
        for (ColorScheme scheme : {ColorScheme::dark, ColorScheme::light}) {
            std::unique_ptr<QWidget> host = makeGlanceSheet(desk, name);
            Yard::setScheme(host.get(), scheme);
            if (!writeSheet(*host, dir, name, scheme, result)) {
                return result;
            }
        }
    }
    return result;
}

}  // namespace pellucine::gallery
