#pragma once

#include <QCoreApplication>
#include <QHash>
#include <QImage>

#include "coordination/ModelFixture.h"
#include "panels/GlanceCallbacks.h"
#include "panels/GlanceEnvironment.h"

namespace pellucine::testing {

// The model on the simulated desktop with "Mail" (pid 10) running, a glance environment over
// them, and callbacks that record what the glance sends.
class GlanceFixture : public ModelFixture {
  protected:
    static constexpr qint32 mailPID = 10;

    struct Icons final : ApplicationIconProviding {
        QImage icon(qint32 pid) const override { return icons.value(pid); }
        QHash<qint32, QImage> icons;
    };
    // 7.5 points a character.
    struct Measurer final : TextMeasuring {
        double textWidth(const QString& text, MeasuredFont) const override {
            return 7.5 * static_cast<double>(text.size());
        }
    };

    GlanceFixture() {
        makeModel();
        addApp(mailPID, QStringLiteral("Mail"));
    }

    static WindowDescriptor window(quint32 id, const QString& title = QStringLiteral("Inbox"),
                                   qint32 pid = mailPID) {
        WindowDescriptor w;
        w.id = id;
        w.ownerPID = pid;
        w.ownerBundleIdentifier = QStringLiteral("com.example.app%1").arg(pid);
        w.applicationName = QStringLiteral("Mail");
        w.title = title;
        w.frame = {0, 0, 1600, 1000};
        w.isOnScreen = true;
        return w;
    }
    static QImage picture(int width = 160, int height = 100) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        return image;
    }

    void selectWindows(const QList<WindowDescriptor>& windows) {
        model->switcherSelection().set({windows, std::nullopt});
    }
    void publish(quint32 id, const QImage& image) {
        model->previewImages().modify([&](PreviewImages& images) { images.insert(id, image); });
    }
    void setPrivate(bool on) {
        model->portablePreferences().modify(
            [on](PortablePreferences& p) { p.keepPasswordManagersPrivate = on; });
    }

    GlanceCallbacks callbacks() {
        GlanceCallbacks c;
        c.panel.onSelect = [this](const WindowDescriptor& w) { selected.append(w.id); };
        c.panel.onAction = [this](WindowAction a, const WindowDescriptor& w) {
            actions.append({a, w.id});
            actedOn.append(w);
        };
        c.panel.onApplicationAction = [this](ApplicationAction a, qint32 pid) {
            applicationActions.append({a, pid});
        };
        c.onHoverPeek = [this](const std::optional<WindowDescriptor>& w) {
            hovers.append(w ? std::optional<quint32>(w->id) : std::nullopt);
        };
        return c;
    }

    Icons icons;
    Measurer measurer;
    bool compositing = true;
    GlanceEnvironment environment{
        desktop, desktop, icons, scheduler, events, measurer, [this] { return compositing; }};

    QList<quint32> selected;
    QList<std::pair<WindowAction, quint32>> actions;
    // The windows the actions were sent for, as sent.
    QList<WindowDescriptor> actedOn;
    QList<std::pair<ApplicationAction, qint32>> applicationActions;
    QList<std::optional<quint32>> hovers;
};

}  // namespace pellucine::testing
