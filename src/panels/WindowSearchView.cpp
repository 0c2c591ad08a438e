#include "panels/WindowSearchView.h"

#include <QBoxLayout>
#include <QEvent>
#include <QFontMetricsF>
#include <QItemSelectionModel>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "base/KeyNames.h"
#include "design/KeyCap.h"
#include "design/Symbols.h"
#include "design/Yard.h"
#include "design/YardText.h"
#include "panels/WindowSearchResultModel.h"
#include "panels/WindowSearchState.h"
#include "panels/WindowSearchTexts.h"

namespace pellucine {

namespace {

constexpr int searchRowSpacing = 12;
constexpr qreal glassPointSize = 18;
constexpr qreal fieldFontSize = 20;
constexpr qreal kickerTracking = 1.2;
constexpr int footerSpacing = 18;
constexpr int groupSpacing = 4;
constexpr int groupLabelInset = 2;
constexpr int emptyMinimumHeight = 54;

QFont kicker() {
    return Yard::tracked(Yard::kickerFont(), kickerTracking);
}

// One symbol in a palette colour, in a square of its own size.
class Glyph final : public QWidget {
  public:
    Glyph(QString name, qreal pointSize, SymbolWeight weight, QColor Yard::Palette::*ink,
          QWidget* parent)
        : QWidget(parent),
          name_(std::move(name)),
          pointSize_(pointSize),
          weight_(weight),
          ink_(ink) {
        const int side = static_cast<int>(std::ceil(Symbols::side(pointSize_)));
        setFixedSize(side, side);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        Symbols::draw(painter, name_, rect(), pointSize_, weight_, {Yard::palette(this).*ink_});
    }

  private:
    QString name_;
    qreal pointSize_;
    SymbolWeight weight_;
    QColor Yard::Palette::*ink_;
};

}  // namespace

// A single line in the body font and the muted colour, centred, cut in the middle when long.
class WindowSearchView::Line final : public QWidget {
  public:
    explicit Line(QWidget* parent) : QWidget(parent) {
        setMinimumHeight(emptyMinimumHeight);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    }
    const QString& text() const { return text_; }
    void setText(const QString& text) {
        if (text != text_) {
            text_ = text;
            setAccessibleName(text);
            update();
        }
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QFont font = Yard::bodyFont();
        painter.setFont(font);
        painter.setPen(Yard::palette(this).muted);
        const QRect room = rect().adjusted(horizontalPadding, 0, -horizontalPadding, 0);
        const QString shown = QFontMetrics(font).elidedText(text_, Qt::ElideMiddle, room.width());
        painter.drawText(room, Qt::AlignCenter | Qt::TextSingleLine, shown);
    }

  private:
    QString text_;
};

// "4 more below" with a chevron, over the list's bottom trailing corner.
class WindowSearchView::Chip final : public QWidget {
  public:
    static constexpr int trailing = 18;
    static constexpr int bottom = 4;
    static constexpr int paddingX = 8;
    static constexpr int paddingY = 3;
    static constexpr int spacing = 5;
    static constexpr qreal chevronSize = 10;
    static constexpr qreal groundOpacity = 0.92;

    explicit Chip(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    const QString& text() const { return text_; }
    void setText(const QString& text) {
        text_ = text;
        const QFontMetricsF metrics(Yard::keyFont());
        const qreal chevron = Symbols::side(chevronSize);
        setFixedSize(
            static_cast<int>(std::ceil(metrics.horizontalAdvance(text_) + spacing + chevron)) +
                2 * paddingX,
            static_cast<int>(std::ceil(std::max(metrics.height(), chevron))) + 2 * paddingY);
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const Yard::Palette& palette = Yard::palette(this);
        QColor ground = palette.ground;
        ground.setAlphaF(static_cast<float>(groundOpacity));
        painter.fillRect(rect(), ground);
        const QRectF room = QRectF(rect()).adjusted(paddingX, paddingY, -paddingX, -paddingY);
        const qreal chevron = Symbols::side(chevronSize);
        painter.setFont(Yard::keyFont());
        painter.setPen(palette.muted);
        painter.drawText(room.adjusted(0, 0, -(chevron + spacing), 0),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text_);
        Symbols::draw(
            painter, u"chevron.down",
            QRectF(room.right() - chevron, room.center().y() - chevron / 2, chevron, chevron),
            chevronSize, SymbolWeight::bold, {palette.muted});
    }

  private:
    QString text_;
};

// The border laid over everything, inside the edges.
class WindowSearchView::Frame final : public QWidget {
  public:
    explicit Frame(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        Yard::strokeInside(painter, rect(), Yard::palette(this).fore, borderWidth);
    }
};

WindowSearchView::WindowSearchView(WindowSearchState& state, Callbacks callbacks,
                                   const ApplicationIconProviding* icons, QWidget* parent)
    : QWidget(parent),
      state_(state),
      callbacks_(std::move(callbacks)),
      model_(new WindowSearchResultModel(this)) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addWidget(makeSearchRow());
    stack->addSpacing(topRuleSlot);

    list_ = new QListView(this);
    list_->setModel(model_);
    list_->setItemDelegate(new WindowSearchRowDelegate(*model_, icons, list_));
    list_->setFrameShape(QFrame::NoFrame);
    list_->setFocusPolicy(Qt::NoFocus);
    list_->setUniformItemSizes(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->viewport()->setAutoFillBackground(false);
    list_->setAutoFillBackground(false);
    list_->setAccessibleName(QStringLiteral("Windows"));
    list_->setFixedHeight(0);
    connect(list_, &QListView::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && callbacks_.onCommit) {
            callbacks_.onCommit(model_->result(index.row()).candidate.window);
        }
    });
    stack->addWidget(list_);
    empty_ = new Line(this);
    stack->addWidget(empty_, 1);
    // Room beyond the rows stays below them, the footer at the bottom.
    stack->addStretch(1);
    stack->addSpacing(bottomRuleHeight);
    stack->addWidget(makeFooter());

    chip_ = new Chip(this);
    chip_->hide();
    frame_ = new Frame(this);

    connect(&state_, &WindowSearchState::queryChanged, this, &WindowSearchView::queryChanged);
    connect(&state_, &WindowSearchState::resultsChanged, this, &WindowSearchView::resultsChanged);
    connect(&state_, &WindowSearchState::selectedIDChanged, this,
            &WindowSearchView::selectionChanged);
    connect(&state_, &WindowSearchState::totalCountChanged, this, &WindowSearchView::updateTexts);
    connect(&state_, &WindowSearchState::hotkeyChanged, this, &WindowSearchView::updateHotkey);
    connect(&state_, &WindowSearchState::focusTokenChanged, this,
            [this] { field_->setFocus(Qt::OtherFocusReason); });
    resultsChanged();
    selectionChanged();
}

WindowSearchView::~WindowSearchView() = default;

QWidget* WindowSearchView::makeSearchRow() {
    auto* row = new QWidget(this);
    row->setFixedHeight(searchRowHeight);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(horizontalPadding, 0, horizontalPadding, 0);
    layout->setSpacing(searchRowSpacing);
    layout->addWidget(new Glyph(QStringLiteral("magnifyingglass"), glassPointSize,
                                SymbolWeight::medium, &Yard::Palette::muted, row));
    field_ = new QLineEdit(row);
    field_->setFrame(false);
    field_->setPlaceholderText(QStringLiteral("Search every open window"));
    field_->setAccessibleName(QStringLiteral("Search windows by title or app"));
    field_->setFont(Yard::font(fieldFontSize));
    // A context menu would take the keyboard from the panel, which closes it.
    field_->setContextMenuPolicy(Qt::NoContextMenu);
    field_->setText(state_.query());
    connect(field_, &QLineEdit::textChanged, this,
            [this](const QString& text) { state_.setQuery(text); });
    layout->addWidget(field_, 1);
    counter_ = new YardText(QString(), kicker(), &Yard::Palette::muted, false, row);
    layout->addWidget(counter_);
    restyleField();
    return row;
}

QWidget* WindowSearchView::makeFooter() {
    auto* footer = new QWidget(this);
    footer->setFixedHeight(footerHeight);
    auto* layout = new QHBoxLayout(footer);
    layout->setContentsMargins(horizontalPadding, 0, horizontalPadding, 0);
    layout->setSpacing(footerSpacing);
    layout->addStretch(1);
    const auto group = [&](const QStringList& keys, const QString& label) {
        auto* widget = new QWidget(footer);
        auto* caps = new QHBoxLayout(widget);
        caps->setContentsMargins(0, 0, 0, 0);
        caps->setSpacing(groupSpacing);
        for (const QString& key : keys) {
            caps->addWidget(new KeyCap(key, false, false, widget));
        }
        auto* text = new YardText(label.toUpper(), kicker(), &Yard::Palette::muted, false, widget);
        text->setContentsMargins(groupLabelInset, 0, 0, 0);
        caps->addWidget(text);
        widget->setAccessibleName(KeyNames::spoken(keys) + QStringLiteral(", ") + label);
        layout->addWidget(widget);
        footerGroups_.append(widget);
    };
    group({QStringLiteral("↩")}, QStringLiteral("Switch"));
    group({QStringLiteral("↑"), QStringLiteral("↓")}, QStringLiteral("Move"));
    group({QStringLiteral("Esc")}, QStringLiteral("Close"));
    hotkeyGroup_ = new QWidget(footer);
    hotkeyCaps_ = new QHBoxLayout(hotkeyGroup_);
    hotkeyCaps_->setContentsMargins(0, 0, 0, 0);
    hotkeyCaps_->setSpacing(groupSpacing);
    layout->addWidget(hotkeyGroup_);
    footerGroups_.append(hotkeyGroup_);
    layout->addStretch(1);
    updateHotkey();
    return footer;
}

void WindowSearchView::updateHotkey() {
    while (QLayoutItem* item = hotkeyCaps_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const QStringList labels = state_.hotkeyCaps();
    for (const QString& label : labels) {
        hotkeyCaps_->addWidget(new KeyCap(label, false, false, hotkeyGroup_));
    }
    hotkeyGroup_->setAccessibleName(WindowSearchTexts::hotkeyAccessibilityLabel(labels));
}

void WindowSearchView::restyleField() {
    const Yard::Palette& palette = Yard::palette(this);
    QPalette colours = field_->palette();
    colours.setColor(QPalette::Base, Qt::transparent);
    colours.setColor(QPalette::Text, palette.fore);
    colours.setColor(QPalette::PlaceholderText, palette.muted);
    colours.setColor(QPalette::Highlight, palette.accent);
    colours.setColor(QPalette::HighlightedText, palette.onAccent);
    field_->setPalette(colours);
}

void WindowSearchView::queryChanged() {
    if (field_->text() != state_.query()) {
        field_->setText(state_.query());
    }
    // Typing always moves the selection to the best result.
    state_.selectFirst();
    updateTexts();
    if (callbacks_.onQueryChange) {
        callbacks_.onQueryChange();
    }
}

void WindowSearchView::resultsChanged() {
    model_->setResults(state_.results());
    const auto count = static_cast<int>(state_.results().size());
    list_->setFixedHeight(WindowSearchRowDelegate::rowHeight * std::min(count, visibleRows));
    list_->setVisible(count > 0);
    empty_->setVisible(count == 0);
    updateTexts();
    selectionChanged();
}

void WindowSearchView::selectionChanged() {
    const std::optional<quint32> id = state_.selectedID();
    const int row = id ? model_->rowOf(*id) : -1;
    if (row < 0) {
        list_->selectionModel()->clearSelection();
        return;
    }
    const QModelIndex index = model_->index(row);
    list_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    list_->scrollTo(index, QAbstractItemView::EnsureVisible);
}

void WindowSearchView::updateTexts() {
    const qsizetype results = state_.results().size();
    counter_->setText(WindowSearchTexts::counter(state_.query(), results, state_.totalCount()));
    empty_->setText(WindowSearchTexts::emptyState(state_.query(), state_.totalCount()));
    const std::optional<QString> more = WindowSearchTexts::moreBelow(results, visibleRows);
    chip_->setVisible(more.has_value());
    if (more) {
        chip_->setText(*more);
    }
    placeOverlays();
}

QString WindowSearchView::counterText() const {
    return counter_->text();
}

QString WindowSearchView::emptyText() const {
    return empty_->isVisibleTo(this) ? empty_->text() : QString();
}

QString WindowSearchView::chipText() const {
    return chip_->isVisibleTo(this) ? chip_->text() : QString();
}

QRect WindowSearchView::chipFrame() const {
    return chip_->isVisibleTo(this) ? chip_->geometry() : QRect();
}

QStringList WindowSearchView::footerGroups() const {
    QStringList names;
    for (const QWidget* group : footerGroups_) {
        names.append(group->accessibleName());
    }
    return names;
}

void WindowSearchView::placeOverlays() {
    const QRect listArea = list_->geometry();
    // Clear of the badge column, so the last row in view keeps its location readable.
    constexpr int badgeColumn = WindowSearchRowDelegate::horizontalPadding +
                                WindowSearchRowDelegate::badgeWidth +
                                WindowSearchRowDelegate::spacing;
    chip_->move(listArea.right() + 1 - std::max(Chip::trailing, badgeColumn) - chip_->width(),
                listArea.bottom() + 1 - Chip::bottom - chip_->height());
    chip_->raise();
    frame_->setGeometry(rect());
    frame_->raise();
}

void WindowSearchView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const Yard::Palette& palette = Yard::palette(this);
    painter.fillRect(rect(), palette.ground);
    painter.fillRect(QRectF(0, searchRowHeight, width(), topRuleHeight), palette.fore);
    painter.fillRect(
        QRectF(0, height() - footerHeight - bottomRuleHeight, width(), bottomRuleHeight),
        palette.hairline);
}

void WindowSearchView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeOverlays();
}

void WindowSearchView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    placeOverlays();
    field_->setFocus(Qt::OtherFocusReason);
}

bool WindowSearchView::event(QEvent* event) {
    if (event->type() == Yard::schemeChangeEvent()) {
        restyleField();
    } else if (event->type() == QEvent::LayoutRequest) {
        const bool handled = QWidget::event(event);
        placeOverlays();
        return handled;
    }
    return QWidget::event(event);
}

}  // namespace pellucine
