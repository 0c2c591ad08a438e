#include "design/YardSelectList.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "design/Symbols.h"
#include "design/Yard.h"
#include "design/YardAccessible.h"
#include "design/YardText.h"

namespace pellucine {
namespace {

std::optional<qsizetype> indexOf(const QList<SelectOption>& options, const QVariant& selection) {
    if (!selection.isValid()) {
        return std::nullopt;
    }
    for (qsizetype i = 0; i < options.size(); ++i) {
        if (options.at(i).value == selection) {
            return i;
        }
    }
    return std::nullopt;
}

QStringList titlesOf(const QList<SelectOption>& options) {
    QStringList titles;
    for (const SelectOption& option : options) {
        titles.append(option.title);
    }
    return titles;
}

}  // namespace

// One option: a checkmark (kept in place when hidden) and the title, on the accent fill while
// highlighted.
class YardSelectList::Row : public QWidget, public AccessibleElement {
    Q_OBJECT

  public:
    Row(YardSelectList* list, int index, const QString& title, bool selected)
        : list_(list), index_(index), title_(title), selected_(selected) {
        Yard::installAccessibility();
        setFixedHeight(SelectListState::rowHeight);
        setFocusPolicy(Qt::NoFocus);
        setMouseTracking(true);
        setAccessibleName(title);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

    QSize sizeHint() const override {
        const qreal title = QFontMetricsF(Yard::bodyFont()).horizontalAdvance(title_);
        return {static_cast<int>(std::ceil(2 * horizontalPadding + Symbols::side(checkmarkSize) +
                                           rowSpacing + title)),
                SelectListState::rowHeight};
    }

    QAccessible::Role accessibleRole() const override { return QAccessible::Button; }
    void adjustAccessibleState(QAccessible::State& state) const override {
        state.selectable = true;
        state.selected = selected_;
        state.focused = list_->hasFocus() && list_->highlighted() == index_;
    }
    bool isAccessiblyPressable() const override { return true; }
    void accessiblePress() override { list_->chooseRow(index_); }

  protected:
    void paintEvent(QPaintEvent*) override {
        const Yard::Palette& palette = Yard::palette(list_);
        const bool lit = list_->highlighted() == index_;
        const QColor ink = lit ? palette.onAccent : palette.fore;
        QPainter painter(this);
        if (lit) {
            painter.fillRect(rect(), palette.accent);
        }
        const qreal side = Symbols::side(checkmarkSize);
        if (selected_) {
            Symbols::draw(painter, u"checkmark",
                          QRectF(horizontalPadding, (height() - side) / 2, side, side),
                          checkmarkSize, SymbolWeight::bold, {ink});
        }
        const QFont font = Yard::bodyFont();
        const qreal left = horizontalPadding + side + rowSpacing;
        const QRectF text(left, 0, width() - left - horizontalPadding, height());
        painter.setFont(font);
        painter.setPen(ink);
        painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         QFontMetricsF(font).elidedText(title_, Qt::ElideRight, text.width()));
    }

    void enterEvent(QEnterEvent*) override { list_->hover(index_); }
    void mouseMoveEvent(QMouseEvent*) override { list_->hover(index_); }

    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
            list_->chooseRow(index_);
        }
    }

  private:
    YardSelectList* list_;
    int index_;
    QString title_;
    bool selected_;
};

YardSelectList::YardSelectList(const QList<SelectOption>& options, const QVariant& selection,
                               qreal minWidth, const ContinuousClock& clock, QWidget* parent)
    : QWidget(parent),
      options_(options),
      selection_(selection),
      clock_(clock),
      state_(titlesOf(options), indexOf(options, selection)),
      scroll_(new QScrollArea) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    setAccessibleName(QStringLiteral("Options"));

    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, SelectListState::verticalPadding, 0,
                               SelectListState::verticalPadding);
    column->setSpacing(0);
    const std::optional<qsizetype> selected = indexOf(options_, selection_);
    qreal ideal = 0;
    if (options_.isEmpty()) {
        auto* empty = new YardText(emptyText(), Yard::readoutFont(), &Yard::Palette::muted, false);
        empty->setContentsMargins(emptyPadding, 0, emptyPadding, 0);
        empty->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        empty->setFixedHeight(SelectListState::rowHeight);
        column->addWidget(empty);
        ideal = empty->sizeHint().width();
    }
    for (qsizetype i = 0; i < options_.size(); ++i) {
        auto* row = new Row(this, static_cast<int>(i), options_.at(i).title, selected == i);
        column->addWidget(row);
        rows_.append(row);
        ideal = std::max<qreal>(ideal, row->sizeHint().width());
    }

    scroll_->setWidget(content);
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setFocusPolicy(Qt::NoFocus);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
    const int height = SelectListState::listHeight(options_.size());
    const int contentHeight =
        SelectListState::rowHeight * static_cast<int>(std::max<qsizetype>(options_.size(), 1)) +
        2 * SelectListState::verticalPadding;
    const bool scrolls = contentHeight > height;
    scroll_->setVerticalScrollBarPolicy(scrolls ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    if (scrolls) {
        ideal += scroll_->verticalScrollBar()->sizeHint().width();
    }
    scroll_->setFixedSize(SelectListState::listWidth(ideal, minWidth), height);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll_);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QString YardSelectList::emptyText() {
    return QStringLiteral("Nothing to choose");
}

int YardSelectList::scrollOffset() const {
    return scroll_->verticalScrollBar()->value();
}

QSize YardSelectList::sizeHint() const {
    return scroll_->size();
}

bool YardSelectList::event(QEvent* event) {
    // Tab types ahead like any other whitespace instead of moving the focus.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QWidget::event(event);
}

void YardSelectList::keyPressEvent(QKeyEvent* event) {
    using Scroll = SelectListState::Scroll;
    event->accept();
    switch (event->key()) {
        case Qt::Key_Down:
            bringIntoView(state_.moveHighlight(1));
            return;
        case Qt::Key_Up:
            bringIntoView(state_.moveHighlight(-1));
            return;
        case Qt::Key_Home:
            bringIntoView(state_.home());
            return;
        case Qt::Key_End:
            bringIntoView(state_.end());
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (const std::optional<int> row = state_.chosen()) {
                chooseRow(*row);
            }
            return;
        case Qt::Key_Escape:
            emit cancel();
            return;
        default:
            break;
    }
    const QString text = event->key() == Qt::Key_Tab ? QStringLiteral("\t") : event->text();
    if (SelectListState::typesAhead(text)) {
        const Scroll how = state_.typeAhead(text, clock_.now());
        if (how != Scroll::none) {
            bringIntoView(how);
        }
        return;
    }
    event->ignore();
}

void YardSelectList::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Yard::palette(this).sheet);
}

void YardSelectList::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    setFocus(Qt::PopupFocusReason);
    bringIntoView(SelectListState::Scroll::centre);
}

void YardSelectList::bringIntoView(SelectListState::Scroll how) {
    QScrollBar* bar = scroll_->verticalScrollBar();
    if (how != SelectListState::Scroll::none && !rows_.isEmpty()) {
        bar->setValue(SelectListState::scrollOffset(how, state_.highlighted(), bar->value(),
                                                    scroll_->height(), rows_.size()));
    }
    highlightChanged();
}

void YardSelectList::hover(int row) {
    if (state_.highlighted() != row) {
        state_.hover(row);
        highlightChanged();
    }
}

void YardSelectList::chooseRow(int row) {
    if (row >= 0 && row < options_.size()) {
        emit choose(options_.at(row).value);
    }
}

void YardSelectList::highlightChanged() {
    for (QWidget* row : rows_) {
        row->update();
    }
}

}  // namespace pellucine

#include "YardSelectList.moc"
