#include <gtest/gtest.h>

#include <QDir>
#include <QScrollBar>
#include <QWidget>

#include "design/FadingScrollView.h"
#include "settings/SettingsView.h"
#include "windows/catalogue/WindowCatalogue.h"
namespace pellucine::testing {
TEST(Scratch, Dump) {
    WindowCatalogue catalogue;
    QDir().mkpath("/tmp/layout-dump");
    const QString only = qEnvironmentVariable("DUMP");
    for (const QString& name : WindowCatalogue::names()) {
        if (!only.isEmpty() && !name.startsWith(only))
            continue;
        QWidget* w = catalogue.open(name, ColorScheme::light);
        std::printf("%s %dx%d at %d,%d\n", qPrintable(name), w->width(), w->height(), w->x(),
                    w->y());
        w->grab().save("/tmp/layout-dump/" + name + ".png");
        if (name.startsWith("settings-")) {
            QScrollBar* bar = catalogue.settingsView()->pageArea()->verticalScrollBar();
            for (int i = 1; bar->value() < bar->maximum(); ++i) {
                bar->setValue(bar->value() + bar->pageStep());
                w->grab().save(QString("/tmp/layout-dump/%1-%2.png").arg(name).arg(i));
            }
        }
    }
}
}  // namespace pellucine::testing
