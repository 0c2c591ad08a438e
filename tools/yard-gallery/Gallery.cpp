#include "Gallery.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWidget>
#include <cmath>
#include <memory>

#include "design/BayHeader.h"
#include "design/CardRule.h"
#include "design/FadingScrollView.h"
#include "design/HazardStripe.h"
#include "design/KeyCap.h"
#include "design/KeyHint.h"
#include "design/NumberWell.h"
#include "design/PaneLink.h"
#include "design/Readout.h"
#include "design/SettingRow.h"
#include "design/Symbols.h"
#include "design/WellFrame.h"
#include "design/Yard.h"
#include "design/YardButton.h"
#include "design/YardCard.h"
#include "design/YardMasthead.h"
#include "design/YardSelect.h"
#include "design/YardSelectList.h"
#include "design/YardSwitch.h"
#include "design/YardText.h"

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

QWidget* row(const QList<QWidget*>& children, int spacing = 10,
             Qt::Alignment align = Qt::AlignVCenter) {
    auto* box = new QWidget;
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    for (QWidget* child : children) {
        layout->addWidget(child, 0, align);
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

QWidget* keyHintSheet() {
    auto hint = [](const QString& text, bool muted, int width) {
        auto* h = new KeyHint(text, Yard::hintFont(), muted);
        h->setFixedWidth(width);
        h->setFixedHeight(h->heightForWidth(width));
        return h;
    };
    const QString sentence = QStringLiteral(
        "Hold {⌘} and press {⇥} to step through applications; press {F} to search windows, or "
        "{⌘}{⇧}{Space} from anywhere.");
    return column(
        {new Caption(QStringLiteral("words and keys, muted")),
         hint(QStringLiteral("Press {Esc} to close"), true, 480),
         new Caption(QStringLiteral("wrapping at 260, fore")), hint(sentence, false, 260),
         new Caption(QStringLiteral("lone }, flush x{y}z, empty {}, unmatched {")),
         hint(QStringLiteral("lone } then x{y}z, empty {}, unmatched a {b"), false, 480)});
}

SettingRow* switchRow(const QString& label, const std::optional<QString>& hint,
                      const std::optional<QString>& keyHint, bool on) {
    return new SettingRow(label, hint, keyHint, new YardSwitch(label, on));
}

QList<SelectOption> channelOptions() {
    return {{QStringLiteral("stable"), QStringLiteral("Stable")},
            {QStringLiteral("beta"), QStringLiteral("Beta")}};
}

QWidget* cardSheet() {
    auto* saved = new BayHeader(QStringLiteral("General"), true);
    auto* unsaved = new BayHeader(QStringLiteral("Switcher"), false);
    auto* card = new YardCard(QStringLiteral("Window previews"),
                              QStringLiteral("What the strip shows while you switch."));
    card->addWidget(
        switchRow(QStringLiteral("Show minimized windows"), std::nullopt, std::nullopt, true));
    card->addWidget(new CardRule);
    card->addWidget(switchRow(
        QStringLiteral("Search windows with a shortcut"),
        QStringLiteral("Opens a panel listing every open window; type part of a title or an "
                       "application name to narrow it."),
        QStringLiteral("Press {⌘}{⇧}{Space} anywhere, or {F} while the switcher is up."), false));
    card->addWidget(new CardRule);
    card->addWidget(
        new SettingRow(QStringLiteral("Update channel"),
                       QStringLiteral("Beta builds arrive sooner."), std::nullopt,
                       new YardSelect(QStringLiteral("Update channel"), channelOptions(),
                                      QStringLiteral("stable"), QStringLiteral("Choose"), 140)));
    card->addWidget(new CardRule);
    card->addWidget(new SettingRow(
        QStringLiteral("Dock delay"),
        new NumberWell(300, {0, 2000}, QStringLiteral("ms"), QStringLiteral("Dock delay"))));
    card->addWidget(new CardRule);
    card->addWidget(new StackedRow(
        QStringLiteral("Event log"), QStringLiteral("Where the diagnostics are written."),
        new Readout(QStringLiteral("/home/someone/.local/share/pellucine/diagnostics/"
                                   "flight.jsonl"),
                    true)));
    auto* bare = new YardCard(QStringLiteral("no note"));
    bare->addWidget(new Readout(
        QStringLiteral("A plain readout that is far too long for the card it sits in, so it "
                       "loses its end"),
        false));
    auto* box = column({new Caption(QStringLiteral("header, saved")), saved,
                        new Caption(QStringLiteral("header, not saved")), unsaved,
                        new Caption(QStringLiteral("card with note, rows and rules")), card,
                        new Caption(QStringLiteral("card without note")), bare},
                       8);
    for (QWidget* w : {static_cast<QWidget*>(saved), static_cast<QWidget*>(unsaved),
                       static_cast<QWidget*>(card), static_cast<QWidget*>(bare)}) {
        w->setFixedWidth(520);
    }
    return box;
}

// A fading scroll view over a tall column, scrolled to `fraction` of its range once laid out.
class ScrolledAt : public FadingScrollView {
  public:
    explicit ScrolledAt(qreal fraction) : fraction_(fraction) {
        auto* content = new QWidget;
        auto* layout = new QVBoxLayout(content);
        layout->setContentsMargins(12, 8, 12, 8);
        for (int i = 1; i <= 16; ++i) {
            layout->addWidget(new YardText(
                QStringLiteral("Line %1 of the scrolling content").arg(i), Yard::bodyFont()));
        }
        setWidget(content);
        setFixedSize(300, 220);
    }

  protected:
    void showEvent(QShowEvent* event) override {
        FadingScrollView::showEvent(event);
        QScrollBar* bar = verticalScrollBar();
        bar->setValue(qRound(bar->maximum() * fraction_));
        finishTransitions();
    }

  private:
    qreal fraction_;
};

QWidget* fadingScrollSheet() {
    auto* shortContent = new FadingScrollView;
    shortContent->setWidget(
        new YardText(QStringLiteral("Short content: no fades"), Yard::bodyFont()));
    shortContent->setFixedSize(300, 220);
    return row({column({new Caption(QStringLiteral("at the top")), new ScrolledAt(0)}),
                column({new Caption(QStringLiteral("in the middle")), new ScrolledAt(0.5)}),
                column({new Caption(QStringLiteral("at the end")), new ScrolledAt(1)}),
                column({new Caption(QStringLiteral("fits")), shortContent})},
               16, Qt::AlignTop);
}

QWidget* numberWellSheet() {
    auto well = [](qint64 value, bool focused) {
        auto* w = new NumberWell(value, {0, 5000}, QStringLiteral("ms"), QStringLiteral("Delay"));
        w->well()->setTracksFocus(false);
        w->well()->setFocused(focused);
        return w;
    };
    return column({new Caption(QStringLiteral("idle, focused")),
                   row({well(300, false), well(2000, true)}, 24),
                   new Caption(QStringLiteral("five digits")), well(4500, false)});
}

QWidget* linkSheet() {
    return column(
        {new Caption(QStringLiteral("pane link, label font")),
         new PaneLink(QStringLiteral("Open the Switcher page"), Yard::labelFont()),
         new Caption(QStringLiteral("pane link, hint font")),
         new PaneLink(QStringLiteral("Why does the program need this?"), Yard::hintFont()),
         new Caption(QStringLiteral("web link")),
         new WebLink(QStringLiteral("Privacy"),
                     QUrl(QStringLiteral("https://example.org/privacy")))});
}

QWidget* switchSheet() {
    auto make = [](bool on, bool enabled) {
        auto* s = new YardSwitch(QStringLiteral("Example"), on);
        s->setEnabled(enabled);
        return s;
    };
    return column({new Caption(QStringLiteral("off, on")),
                   row({make(false, true), make(true, true)}),
                   new Caption(QStringLiteral("disabled: off, on")),
                   row({make(false, false), make(true, false)})});
}

QList<SelectOption> letteredOptions(int count) {
    const QStringList names{
        QStringLiteral("Automatic"), QStringLiteral("Compact"),  QStringLiteral("Thumbnails"),
        QStringLiteral("Stable"),    QStringLiteral("Slow"),     QStringLiteral("Large"),
        QStringLiteral("Medium"),    QStringLiteral("Small"),    QStringLiteral("Tiny"),
        QStringLiteral("Huge"),      QStringLiteral("Enormous"), QStringLiteral("Last one")};
    QList<SelectOption> options;
    for (int i = 0; i < count && i < names.size(); ++i) {
        options.append({i, names.at(i)});
    }
    return options;
}

QWidget* selectSheet() {
    static const FakeContinuousClock clock;
    auto* chosen = new YardSelect(QStringLiteral("Size"), letteredOptions(3), 1,
                                  QStringLiteral("Choose a size"), 180);
    auto* placeholder = new YardSelect(QStringLiteral("Size"), letteredOptions(3), QVariant(),
                                       QStringLiteral("Choose a size"), 180);
    auto* longTitle =
        new YardSelect(QStringLiteral("Folder"),
                       {{0, QStringLiteral("/home/someone/Pictures/Screenshots/2026/January")}}, 0,
                       QStringLiteral("Choose"), 180);
    auto* list = new YardSelectList(letteredOptions(3), 1, 180, clock);
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(list, &down);
    return column({new Caption(QStringLiteral("selection, placeholder, long title")),
                   row({chosen, placeholder, longTitle}),
                   new Caption(QStringLiteral("list: Compact selected, Thumbnails highlighted; "
                                              "empty; twelve options")),
                   row({list, new YardSelectList({}, QVariant(), 180, clock),
                        new YardSelectList(letteredOptions(12), 11, 180, clock)},
                       16, Qt::AlignTop)});
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
        {QStringLiteral("key-hints"), keyHintSheet},
        {QStringLiteral("cards"), cardSheet},
        {QStringLiteral("fading-scroll"), fadingScrollSheet},
        {QStringLiteral("number-wells"), numberWellSheet},
        {QStringLiteral("links"), linkSheet},
        {QStringLiteral("switches"), switchSheet},
        {QStringLiteral("selects"), selectSheet},
    };
}

Result render(const QString& folder) {
    Result result = prepareFolder(folder);
    if (!result.error.isEmpty()) {
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
            if (!writeSheet(*host, dir, sheet.name, scheme, result)) {
                return result;
            }
        }
    }
    return result;
}

}  // namespace pellucine::gallery
