#include "SampleDesk.h"

#include <QPainter>
#include <QPainterPath>

#include "design/YardFonts.h"

namespace pellucine::gallery {

struct SampleDesk::MemoryStore final : PreferenceStoring {
    PortablePreferences loadPortablePreferences() override { return portable; }
    MachinePreferences loadMachinePreferences() override { return machine; }
    bool savePortablePreferences(const PortablePreferences& p) override {
        portable = p;
        return true;
    }
    bool saveMachinePreferences(const MachinePreferences& m) override {
        machine = m;
        return true;
    }
    PortablePreferences importSettings(const QString&) override { return portable; }

    PortablePreferences portable;
    MachinePreferences machine;
};

struct SampleDesk::NoSync final : PreferenceSyncing {
    bool isConfigured() const override { return false; }
    QCoro::Task<std::optional<PortablePreferences>> push(PortablePreferences, StoredWins) override {
        co_return std::nullopt;
    }
    QCoro::Task<std::optional<PortablePreferences>> pull() override {
        co_return std::optional<PortablePreferences>();
    }
};

SampleDesk::SampleDesk()
    : store_(std::make_unique<MemoryStore>()), sync_(std::make_unique<NoSync>()) {
    model_ = std::make_unique<AppModel>(
        AppModel::Platform{desktop_, scheduler_, events_, scheduler_.clocks().wall, executor_, {}},
        windows_, previews_, *store_, *sync_);
    environment_ = std::make_unique<GlanceEnvironment>(GlanceEnvironment{
        desktop_, desktop_, icons_, scheduler_, events_, measurer_, [] { return true; }, nullptr});
}

SampleDesk::~SampleDesk() = default;

QImage samplePicture(QSize size, QColor accent, int variant) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(variant % 2 == 0 ? QColor(0xfa, 0xf8, 0xf4) : QColor(0x22, 0x24, 0x2a));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool dark = variant % 2 == 1;
    const QColor ink = dark ? QColor(0xe8, 0xe6, 0xe0) : QColor(0x30, 0x2c, 0x40);
    const int bar = size.height() / 14;
    painter.fillRect(0, 0, size.width(), bar,
                     dark ? QColor(0x30, 0x33, 0x3a) : QColor(0xe6, 0xe2, 0xda));
    const int sidebar = variant % 3 == 2 ? 0 : size.width() / 5;
    if (sidebar > 0) {
        painter.fillRect(0, bar, sidebar, size.height() - bar, accent.lighter(dark ? 60 : 170));
        for (int i = 0; i < 8; ++i) {
            painter.fillRect(sidebar / 8, bar + bar / 2 + i * bar, sidebar * 3 / 4, bar / 3,
                             accent.darker(dark ? 100 : 130));
        }
    }
    const int left = sidebar + size.width() / 24;
    const int width = size.width() - left - size.width() / 24;
    painter.fillRect(QRect(left, bar * 2, width, size.height() / 4), accent);
    QColor line = ink;
    line.setAlphaF(0.55F);
    for (int i = 0; i < 7; ++i) {
        const int lineWidth = width * (6 + (i * 5 + variant) % 5) / 10;
        painter.fillRect(left, bar * 3 + size.height() / 4 + i * bar * 3 / 4, lineWidth, bar / 4,
                         line);
    }
    return image;
}

QImage sampleIcon(const QString& name, QColor colour) {
    QImage image(128, 128, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(8, 8, 112, 112), 26, 26);
    painter.fillPath(path, colour);
    painter.setPen(Qt::white);
    painter.setFont(Yard::font(64, QFont::Bold));
    painter.drawText(QRectF(8, 8, 112, 112), Qt::AlignCenter, name.left(1));
    return image;
}

}  // namespace pellucine::gallery
