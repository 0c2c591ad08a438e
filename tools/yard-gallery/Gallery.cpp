#include "Gallery.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QVBoxLayout>
#include <QWidget>
#include <cmath>
#include <memory>

#include "design/HazardStripe.h"
#include "design/KeyCap.h"
#include "design/Symbols.h"
#include "design/WellFrame.h"
#include "design/Yard.h"
#include "design/YardButton.h"
#include "design/YardMasthead.h"

namespace pellucine::gallery {
namespace {

// A one-line text in the scheme's muted colour, naming what follows it.
class Caption : public QWidget {
  public:
    explicit Caption(QString text, QWidget* parent = nullptr)
        : QWidget(parent), text_(std::move(text)) {}

    QSize sizeHint() const override {
        const QFontMetricsF metrics(Yard::readoutFont());
        return {static_cast<int>(std::ceil(metrics.horizontalAdvance(text_))),
                static_cast<int>(std::ceil(metrics.height()))};
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setFont(Yard::readoutFont());
        painter.setPen(Yard::palette(this).muted);
        painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, text_);
    }

  private:
    QString text_;
};

// A widget that paints itself through a function of its scheme.
class Canvas : public QWidget {
  public:
    using Painter = std::function<void(QPainter&, ColorScheme)>;
    Canvas(QSize size, Painter paint) : size_(size), paint_(std::move(paint)) {}
    QSize sizeHint() const override { return size_; }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        paint_(painter, Yard::scheme(this));
    }

  private:
    QSize size_;
    Painter paint_;
};

QWidget* column(std::initializer_list<QWidget*> children, int spacing = 8) {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    for (QWidget* child : children) {
        layout->addWidget(child, 0, Qt::AlignLeft);
    }
    return box;
}

QWidget* row(const QList<QWidget*>& children, int spacing = 10) {
    auto* box = new QWidget;
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    for (QWidget* child : children) {
        layout->addWidget(child, 0, Qt::AlignVCenter);
    }
    layout->addStretch();
    return box;
}

QWidget* paletteSheet() {
    struct Entry {
        const char* name;
        QColor Yard::Palette::*colour;
    };
    static const Entry entries[] = {
        {"ground", &Yard::Palette::ground},
        {"sheet", &Yard::Palette::sheet},
        {"fore", &Yard::Palette::fore},
        {"muted", &Yard::Palette::muted},
        {"accent", &Yard::Palette::accent},
        {"accentType", &Yard::Palette::accentType},
        {"onAccent", &Yard::Palette::onAccent},
        {"hairline", &Yard::Palette::hairline},
        {"cardBorder", &Yard::Palette::cardBorder},
        {"rail", &Yard::Palette::rail},
        {"railSheet", &Yard::Palette::railSheet},
        {"railInk", &Yard::Palette::railInk},
        {"railSelect", &Yard::Palette::railSelect},
        {"railSelectInk", &Yard::Palette::railSelectInk},
    };
    constexpr int rowHeight = 26;
    return new Canvas(QSize(300, rowHeight * 14), [](QPainter& p, ColorScheme scheme) {
        const Yard::Palette& palette = Yard::palette(scheme);
        p.setFont(Yard::readoutFont());
        int y = 0;
        for (const Entry& e : entries) {
            const QColor colour = palette.*(e.colour);
            p.fillRect(QRect(0, y + 2, 40, rowHeight - 4), colour);
            p.setPen(palette.fore);
            p.drawText(QRect(52, y, 248, rowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                       QStringLiteral("%1  %2 %3%")
                           .arg(QString::fromLatin1(e.name))
                           .arg(colour.name())
                           .arg(qRound(colour.alphaF() * 100)));
            y += rowHeight;
        }
    });
}

QWidget* fontSheet() {
    struct Entry {
        const char* name;
        QFont (*font)();
    };
    static const Entry entries[] = {
        {"kicker 10.5 bold mono", Yard::kickerFont},
        {"tag 11 semibold mono", Yard::tagFont},
        {"display 28 black condensed", Yard::displayFont},
        {"body 13", Yard::bodyFont},
        {"label 13 medium", Yard::labelFont},
        {"hint 11.5", Yard::hintFont},
        {"readout 12 mono", Yard::readoutFont},
        {"key 11 mono", Yard::keyFont},
    };
    return new Canvas(QSize(560, 8 * 44), [](QPainter& p, ColorScheme scheme) {
        const Yard::Palette& palette = Yard::palette(scheme);
        int y = 0;
        for (const Entry& e : entries) {
            p.setPen(palette.muted);
            p.setFont(Yard::readoutFont());
            p.drawText(QRect(0, y, 190, 44), Qt::AlignLeft | Qt::AlignVCenter,
                       QString::fromLatin1(e.name));
            p.setPen(palette.fore);
            p.setFont(e.font());
            p.drawText(QRect(190, y, 370, 44), Qt::AlignLeft | Qt::AlignVCenter,
                       QStringLiteral("Window previews ⌘ ⇥ ⌃ ⌥ ⇧"));
            y += 44;
        }
    });
}

QWidget* symbolSheet() {
    const QStringList names = Symbols::names();
    constexpr int cellWidth = 360;
    constexpr int cellHeight = 30;
    constexpr int columns = 2;
    const int rows = static_cast<int>((names.size() + columns - 1) / columns) + 2;
    return new Canvas(
        QSize(cellWidth * columns, cellHeight * rows), [names](QPainter& p, ColorScheme scheme) {
            const Yard::Palette& c = Yard::palette(scheme);
            p.setFont(Yard::readoutFont());
            for (qsizetype i = 0; i < names.size(); ++i) {
                const int x = static_cast<int>(i % columns) * cellWidth;
                const int y = static_cast<int>(i / columns) * cellHeight;
                const QRectF box(x, y, cellHeight, cellHeight);
                Symbols::draw(p, names.at(i), box, 17, SymbolWeight::regular, {c.fore});
                Symbols::draw(p, names.at(i), box.translated(cellHeight, 0), 17,
                              SymbolWeight::regular, {Qt::white, c.accent});
                p.setPen(c.muted);
                p.drawText(QRectF(x + 2 * cellHeight + 6, y, cellWidth, cellHeight),
                           Qt::AlignLeft | Qt::AlignVCenter, names.at(i));
            }
            // Weights, lightest to heaviest, of two symbols.
            const int y = static_cast<int>((names.size() + columns - 1) / columns) * cellHeight;
            int x = 0;
            for (int w = 0; w <= static_cast<int>(SymbolWeight::black); ++w) {
                const auto weight = static_cast<SymbolWeight>(w);
                Symbols::draw(p, QStringLiteral("xmark"), QRectF(x, y, cellHeight, cellHeight), 17,
                              weight, {c.fore});
                Symbols::draw(p, QStringLiteral("gearshape"),
                              QRectF(x, y + cellHeight, cellHeight, cellHeight), 17, weight,
                              {c.accentType});
                x += cellHeight + 6;
            }
        });
}

QWidget* buttonSheet() {
    auto* grid = new QWidget;
    auto* layout = new QGridLayout(grid);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setHorizontalSpacing(14);
    layout->setVerticalSpacing(10);
    const QList<std::pair<YardButton::Kind, QString>> kinds{
        {YardButton::Kind::primary, QStringLiteral("Primary")},
        {YardButton::Kind::secondary, QStringLiteral("Secondary")},
        {YardButton::Kind::danger, QStringLiteral("Danger")},
    };
    const QStringList states{QStringLiteral("enabled"), QStringLiteral("disabled"),
                             QStringLiteral("pressed")};
    for (int s = 0; s < states.size(); ++s) {
        layout->addWidget(new Caption(states.at(s)), 0, s + 1);
    }
    for (int k = 0; k < kinds.size(); ++k) {
        layout->addWidget(new Caption(kinds.at(k).second.toLower()), k + 1, 0);
        for (int s = 0; s < states.size(); ++s) {
            auto* button =
                new YardButton(kinds.at(k).second + QStringLiteral(" action"), kinds.at(k).first);
            button->setEnabled(s != 1);
            button->setDown(s == 2);
            layout->addWidget(button, k + 1, s + 1);
        }
    }
    return grid;
}

QWidget* keyCapSheet() {
    const QStringList labels{QStringLiteral("⌘"),   QStringLiteral("⇧"), QStringLiteral("⌃"),
                             QStringLiteral("⌥"),   QStringLiteral("⇥"), QStringLiteral("Space"),
                             QStringLiteral("Esc"), QStringLiteral("F")};
    auto caps = [&labels](bool onRail, bool isInline) {
        QList<QWidget*> widgets;
        for (const QString& label : labels) {
            widgets.append(new KeyCap(label, onRail, isInline));
        }
        return widgets;
    };
    auto* rail = new YardMasthead(18);
    auto* railCaps = row(caps(true, false), 4);
    railCaps->setAutoFillBackground(false);
    rail->setTrailing(railCaps);
    rail->setMinimumWidth(700);
    return column({new Caption(QStringLiteral("plain")), row(caps(false, false), 4),
                   new Caption(QStringLiteral("inline")), row(caps(false, true), 4),
                   new Caption(QStringLiteral("on the rail")), rail});
}

QWidget* mastheadSheet() {
    auto labelled = [](qreal inset, QWidget* trailing) {
        auto* masthead = new YardMasthead(inset);
        masthead->setTrailing(trailing);
        masthead->setMinimumWidth(620);
        return masthead;
    };
    auto* caps =
        row({new KeyCap(QStringLiteral("⌘"), true), new KeyCap(QStringLiteral("⇥"), true)}, 4);
    return column({new Caption(QStringLiteral("inset 18, no trailing view")), labelled(18, nullptr),
                   new Caption(QStringLiteral("inset 80, key caps")), labelled(80, caps),
                   new Caption(QStringLiteral("inset 0 (kept at 18)")),
                   labelled(0, new Caption(QStringLiteral("Diagnostics")))});
}

QWidget* stripeSheet() {
    auto stripe = [](qreal height) {
        auto* s = new HazardStripe(height);
        s->setFixedWidth(480);
        return s;
    };
    return column({new Caption(QStringLiteral("height 5")), stripe(5),
                   new Caption(QStringLiteral("height 12")), stripe(12),
                   new Caption(QStringLiteral("height 0 (draws nothing)")), stripe(0)});
}

QWidget* wellSheet() {
    auto well = [](bool focused) {
        auto* content = new Caption(QStringLiteral("300 ms"));
        content->setContentsMargins(0, 0, 0, 0);
        auto* frame = new WellFrame(content);
        frame->setContentsMargins(8, 5, 8, 5);
        frame->setTracksFocus(false);
        frame->setFocused(focused);
        frame->setFixedWidth(120);
        return frame;
    };
    auto* painted = new Canvas(QSize(240, 40), [](QPainter& p, ColorScheme scheme) {
        Yard::wellFrame(p, QRectF(0, 4, 110, 32), scheme, false);
        Yard::wellFrame(p, QRectF(126, 4, 110, 32), scheme, true);
    });
    return column({new Caption(QStringLiteral("container: idle, focused")),
                   row({well(false), well(true)}),
                   new Caption(QStringLiteral("paint helper: idle, focused")), painted});
}

QString schemeName(ColorScheme scheme) {
    return scheme == ColorScheme::dark ? QStringLiteral("dark") : QStringLiteral("light");
}

// The masthead shows the application's icon; the gallery has none of its own.
void setGalleryIcon() {
    if (QGuiApplication::windowIcon().isNull()) {
        const QImage icon =
            Symbols::image(QStringLiteral("rectangle.stack.fill"), 25, SymbolWeight::regular,
                           {Yard::Palette::dark().accent}, 2.0);
        QGuiApplication::setWindowIcon(QIcon(QPixmap::fromImage(icon)));
    }
}

}  // namespace

QList<Sheet> sheets() {
    return {
        {QStringLiteral("palette"), paletteSheet},
        {QStringLiteral("fonts"), fontSheet},
        {QStringLiteral("symbols"), symbolSheet},
        {QStringLiteral("buttons"), buttonSheet},
        {QStringLiteral("key-caps"), keyCapSheet},
        {QStringLiteral("mastheads"), mastheadSheet},
        {QStringLiteral("hazard-stripes"), stripeSheet},
        {QStringLiteral("wells"), wellSheet},
    };
}

Result render(const QString& folder) {
    Result result;
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir()) {
        result.error = QStringLiteral("%1 is not a folder").arg(folder);
        return result;
    }
    if (!QDir().mkpath(folder)) {
        result.error = QStringLiteral("could not create the folder %1").arg(folder);
        return result;
    }
    setGalleryIcon();
    const QDir dir(folder);
    for (const Sheet& sheet : sheets()) {
        for (ColorScheme scheme : {ColorScheme::dark, ColorScheme::light}) {
            auto host = std::make_unique<QWidget>();
            auto* layout = new QVBoxLayout(host.get());
            layout->setContentsMargins(20, 20, 20, 20);
            layout->addWidget(sheet.make());
            Yard::setScheme(host.get(), scheme);
            Yard::setWindowGround(host.get());
            // Not adjustSize(): that keeps a window within the screen.
            host->resize(host->sizeHint());
            const QImage image = host->grab().toImage();
            const QString file =
                dir.filePath(QStringLiteral("%1-%2.png").arg(sheet.name, schemeName(scheme)));
            if (!image.save(file, "PNG")) {
                result.error = QStringLiteral("could not write %1").arg(file);
                return result;
            }
            const QImage check(file);
            if (check.size() != image.size()) {
                result.error = QStringLiteral("%1 does not read back as written").arg(file);
                return result;
            }
            result.written.append(file);
        }
    }
    return result;
}

}  // namespace pellucine::gallery
