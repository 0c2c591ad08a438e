#include "diagnostics/DiagnosticsView.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPointer>
#include <QScrollBar>
#include <QShortcut>
#include <QShowEvent>
#include <QVBoxLayout>
#include <QtMath>

#include "coordination/AppModel.h"
#include "design/BaselineRowLayout.h"
#include "design/CardRule.h"
#include "design/Eliding.h"
#include "design/FadingScrollView.h"
#include "design/HazardStripe.h"
#include "design/PaneLink.h"
#include "design/Yard.h"
#include "design/YardButton.h"
#include "design/YardMasthead.h"
#include "design/YardText.h"
#include "diagnostics/DiagnosticsService.h"
#include "diagnostics/DiagnosticsStatus.h"
#include "diagnostics/SheetFrame.h"
#include "diagnostics/SupportFile.h"

namespace pellucine {

namespace {

constexpr qreal titleTracking = 1.0;
constexpr qreal cellLabelTracking = 1.4;
constexpr qreal headingTracking = 1.5;
constexpr int headerSpacing = 9;
constexpr int buttonSpacing = 8;
constexpr int cellSpacing = 4;
constexpr int cellValueSpacing = 8;
constexpr int cellHorizontalPadding = 14;
constexpr int cellVerticalPadding = 12;
constexpr int rowInset = 14;
constexpr int rowVerticalPadding = 7;
constexpr int rowSpacing = 3;
constexpr int rowTitleSpacing = 12;
constexpr int stripeHeight = 5;
// The event section's content stays clear of its border.
const int sectionBorder = qCeil(SheetFrame::borderWidth);

template <typename Layout>
Layout* bare(Layout* layout, int spacing = 0) {
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

// One event: the title and, at the far end, the time; under them the details when there are any;
// a rule under the row.
QWidget* eventRow(const ReadableDiagnosticEvent& entry, int inset) {
    auto* row = new QWidget;
    auto* column = new QVBoxLayout(row);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(inset, rowVerticalPadding, inset, rowVerticalPadding);
    body->setSpacing(rowSpacing);
    auto* first = new QWidget;
    auto* line = new BaselineRowLayout(first);
    line->setSpacing(rowTitleSpacing);
    line->addWidget(new YardText(entry.title, Yard::labelFont()), true);
    line->addWidget(new YardText(entry.timestamp, Yard::keyFont(), &Yard::Palette::muted, false),
                    false);
    QSizePolicy wrapping(QSizePolicy::Expanding, QSizePolicy::Preferred);
    wrapping.setHeightForWidth(true);
    first->setSizePolicy(wrapping);
    body->addWidget(first);
    if (!entry.detail.isEmpty()) {
        body->addWidget(new YardText(entry.detail, Yard::keyFont(), &Yard::Palette::muted));
    }
    column->addLayout(body);

    auto* rule = new QHBoxLayout;
    rule->setContentsMargins(inset, 0, inset, 0);
    rule->addWidget(new CardRule);
    column->addLayout(rule);
    row->setAccessibleName(entry.title);
    return row;
}

}  // namespace

class DiagnosticsView::StatusCell : public QWidget {
  public:
    StatusCell(const QString& label, bool fixable, DiagnosticsView* view)
        : value_(new YardText({}, Yard::readoutFont(), &Yard::Palette::fore, false)) {
        Yard::allowEliding(*value_);
        auto* column = new QVBoxLayout(this);
        column->setContentsMargins(cellHorizontalPadding, cellVerticalPadding,
                                   cellHorizontalPadding, cellVerticalPadding);
        column->setSpacing(cellSpacing);
        column->addWidget(new YardText(label.toUpper(),
                                       Yard::tracked(Yard::kickerFont(), cellLabelTracking),
                                       &Yard::Palette::accentType, false));
        auto* line = bare(new QHBoxLayout, cellValueSpacing);
        line->addWidget(value_);
        if (fixable) {
            fix_ = new PaneLink(QStringLiteral("Fix…"), Yard::hintFont(),
                                [view] { view->fixPermissions(); });
            line->addWidget(fix_);
        }
        line->addStretch();
        column->addLayout(line);
        column->addStretch();
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        setAccessibleName(label);
    }

    void setValue(const QString& value) {
        full_ = value;
        value_->setToolTip(value);
        elide();
    }
    void setFixOffered(bool offered) {
        if (fix_ != nullptr) {
            fix_->setVisible(offered);
        }
        elide();
    }
    QString value() const { return full_; }
    PaneLink* fixLink() const { return fix_ != nullptr && !fix_->isHidden() ? fix_ : nullptr; }

  protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        elide();
    }

  private:
    // One line: a value wider than the cell loses its end.
    void elide() {
        int room = width() - 2 * cellHorizontalPadding;
        if (fix_ != nullptr && !fix_->isHidden()) {
            room -= fix_->sizeHint().width() + cellValueSpacing;
        }
        value_->setText(
            QFontMetrics(value_->font()).elidedText(full_, Qt::ElideRight, std::max(0, room)));
    }

    YardText* value_;
    PaneLink* fix_ = nullptr;
    QString full_;
};

DiagnosticsView::DiagnosticsView(Context context, QWidget* parent)
    : QWidget(parent), context_(context) {
    setMinimumSize(minimumWidth, minimumHeight);
    setAutoFillBackground(false);

    auto* root = bare(new QVBoxLayout(this));
    auto* masthead = new YardMasthead(sidePadding);
    masthead->setTrailing(new YardText(QStringLiteral("FOR SUPPORT"), Yard::tagFont()));
    root->addWidget(masthead);

    auto* page = new QVBoxLayout;
    page->setContentsMargins(sidePadding, verticalPadding, sidePadding, verticalPadding);
    page->setSpacing(columnSpacing);
    page->addWidget(buildHeader());
    page->addWidget(buildStatusStrip());
    page->addWidget(buildEventSection(), 1);
    root->addLayout(page, 1);

    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &DiagnosticsView::closeWindow);

    PermissionService& permissions = context_.diagnostics.model().permissions();
    subscriptions_ +=
        permissions.accessibility().subscribe([this](PermissionState) { showPermissionStates(); });
    subscriptions_ += permissions.screenRecording().subscribe(
        [this](PermissionState) { showPermissionStates(); });
    subscriptions_ +=
        connect(qApp, &QGuiApplication::screenAdded, this, &DiagnosticsView::showDisplayCount);
    subscriptions_ +=
        connect(qApp, &QGuiApplication::screenRemoved, this, &DiagnosticsView::showDisplayCount);
    showPermissionStates();
    showDisplayCount();
    showEntries();
}

DiagnosticsView::~DiagnosticsView() = default;

QWidget* DiagnosticsView::buildHeader() {
    auto* header = new QWidget;
    auto* column = bare(new QVBoxLayout(header), headerSpacing);

    auto* titleRow = new QWidget;
    auto* line = new BaselineRowLayout(titleRow);
    line->setSpacing(0);
    line->addWidget(new YardText(QStringLiteral("DIAGNOSTICS"),
                                 Yard::tracked(Yard::displayFont(), titleTracking),
                                 &Yard::Palette::fore, false),
                    false);
    auto* gap = new QWidget;
    gap->setMinimumWidth(columnSpacing);
    line->addWidget(gap, true);
    auto* buttons = new QWidget;
    auto* buttonRow = bare(new QHBoxLayout(buttons), buttonSpacing);
    refresh_ = new YardButton(QStringLiteral("Refresh"), YardButton::Kind::secondary);
    save_ = new YardButton(QStringLiteral("Save Support File…"), YardButton::Kind::primary);
    buttonRow->addWidget(refresh_);
    buttonRow->addWidget(save_);
    line->addWidget(buttons, false);
    connect(refresh_, &QAbstractButton::clicked, this, &DiagnosticsView::refresh);
    connect(save_, &QAbstractButton::clicked, this, &DiagnosticsView::saveSupportFile);
    column->addWidget(titleRow);

    column->addWidget(new HazardStripe(stripeHeight));
    column->addWidget(new YardText(QStringLiteral("App and permission status only. Never window "
                                                  "pictures, window titles, app names, or "
                                                  "keystrokes."),
                                   Yard::hintFont(), &Yard::Palette::muted));
    failure_ = new YardText({}, Yard::hintFont(), &Yard::Palette::accentType);
    failure_->hide();
    column->addWidget(failure_);
    return header;
}

QWidget* DiagnosticsView::buildStatusStrip() {
    auto* strip = new SheetFrame;
    auto* row = bare(new QHBoxLayout(strip));
    for (const auto& [label, fixable] : {std::pair{QStringLiteral("Accessibility"), true},
                                         std::pair{QStringLiteral("Screen Recording"), true},
                                         std::pair{QStringLiteral("Displays"), false},
                                         std::pair{QStringLiteral("Shown Below"), false}}) {
        auto* cell = new StatusCell(label, fixable, this);
        cells_.append(cell);
        row->addWidget(cell, 1);
    }
    return strip;
}

QWidget* DiagnosticsView::buildEventSection() {
    auto* section = new SheetFrame;
    auto* column = bare(new QVBoxLayout(section));
    // The list scrolls inside the border, never over it.
    const int border = sectionBorder;
    column->setContentsMargins(border, border, border, border);
    auto* heading = new YardText(QStringLiteral("Manifest").toUpper(),
                                 Yard::tracked(Yard::kickerFont(), headingTracking),
                                 &Yard::Palette::accentType);
    heading->setContentsMargins(rowInset - border, cellVerticalPadding - border, rowInset - border,
                                buttonSpacing);
    column->addWidget(heading);

    empty_ = new YardText(QStringLiteral("Nothing recorded yet. Use PELLUCINE, then refresh."),
                          Yard::bodyFont(), &Yard::Palette::muted);
    empty_->setContentsMargins(rowInset - border, 0, rowInset - border, columnSpacing);
    column->addWidget(empty_);

    scroll_ = new FadingScrollView(&Yard::Palette::sheet, &Yard::Palette::muted);
    list_ = new QWidget;
    rows_ = bare(new QVBoxLayout(list_));
    rows_->addStretch();
    scroll_->setWidget(list_);
    // The scroll area fills its content with the window colour; the rows stand on the sheet.
    list_->setAutoFillBackground(false);
    column->addWidget(scroll_, 1);
    column->addStretch();
    return section;
}

void DiagnosticsView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        refresh();
    }
}

void DiagnosticsView::refresh() {
    context_.diagnostics.waitForEventLog();
    entries_ = context_.diagnostics.readRecentEvents(DiagnosticsStatus::shownLimit);
    showEntries();
    showDisplayCount();
}

void DiagnosticsView::showEntries() {
    while (rows_->count() > 1) {
        QLayoutItem* item = rows_->takeAt(0);
        delete item->widget();
        delete item;
    }
    for (qsizetype i = 0; i < entries_.size(); ++i) {
        rows_->insertWidget(static_cast<int>(i), eventRow(entries_[i], rowInset - sectionBorder));
    }
    const bool empty = entries_.isEmpty();
    empty_->setVisible(empty);
    scroll_->setVisible(!empty);
    scroll_->verticalScrollBar()->setValue(0);
    cells_[3]->setValue(DiagnosticsStatus::shownBelowText(entries_.size()));
}

void DiagnosticsView::showPermissionStates() {
    PermissionService& permissions = context_.diagnostics.model().permissions();
    const PermissionState states[] = {permissions.accessibility().value(),
                                      permissions.screenRecording().value()};
    for (int i = 0; i < 2; ++i) {
        cells_[i]->setValue(DiagnosticsStatus::permissionText(states[i]));
        cells_[i]->setFixOffered(DiagnosticsStatus::offersFix(states[i]));
    }
}

void DiagnosticsView::showDisplayCount() {
    cells_[2]->setValue(QString::number(context_.diagnostics.displayCount()));
}

void DiagnosticsView::saveSupportFile() {
    SupportFile::save(context_.diagnostics, context_.savePanel, QApplication::activeWindow(),
                      [view = QPointer(this)](const std::optional<QString>& failure) {
                          if (view) {
                              view->showSaveResult(failure);
                          }
                      });
}

void DiagnosticsView::showSaveResult(const std::optional<QString>& failure) {
    failure_->setText(failure.value_or(QString()));
    failure_->setVisible(failure.has_value());
}

void DiagnosticsView::fixPermissions() {
    closeWindow();
    if (context_.showPermissions) {
        context_.showPermissions();
    }
}

void DiagnosticsView::closeWindow() {
    if (QWidget* window = QApplication::activeWindow()) {
        window->close();
    }
}

QString DiagnosticsView::cellValue(const StatusCell* cell) {
    return cell->value();
}

PaneLink* DiagnosticsView::cellFixLink(const StatusCell* cell) {
    return cell->fixLink();
}

}  // namespace pellucine
