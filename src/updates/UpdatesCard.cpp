#include "updates/UpdatesCard.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include "design/CardRule.h"
#include "design/OpenFailureNotice.h"
#include "design/PaneLink.h"
#include "design/RowText.h"
#include "design/SettingRow.h"
#include "design/Symbols.h"
#include "design/Yard.h"
#include "design/YardButton.h"
#include "design/YardSwitch.h"
#include "design/YardText.h"
#include "updates/UpdateController.h"

namespace pellucine {

// The symbol at the head of a row: plain in the accent ink, or highlighted as a white mark on
// an accent disc.
class UpdatesCard::Symbol : public QWidget {
  public:
    Symbol(QString name, bool highlighted) : name_(std::move(name)), highlighted_(highlighted) {
        setFixedWidth(symbolWidth);
        setMinimumHeight(static_cast<int>(Symbols::side(symbolPointSize)));
    }
    void setName(const QString& name) {
        if (name != name_) {
            name_ = name;
            update();
        }
    }
    const QString& name() const { return name_; }

  protected:
    void paintEvent(QPaintEvent*) override {
        const Yard::Palette& palette = Yard::palette(this);
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QList<QColor> colours = highlighted_ ? QList<QColor>{Qt::white, palette.accent}
                                                   : QList<QColor>{palette.accentType};
        Symbols::draw(painter, name_, rect(), symbolPointSize, SymbolWeight::regular, colours);
    }

  private:
    QString name_;
    bool highlighted_;
};

namespace {

// One row of the card: the symbol, the text lines taking the remaining width, and the trailing
// buttons at their natural size.
QWidget* buildRow(QWidget* symbol, const QList<QWidget*>& lines, const QList<QWidget*>& trailing) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(UpdatesCard::rowSpacing);
    layout->addWidget(symbol, 0, Qt::AlignVCenter);
    auto* text = new QVBoxLayout;
    text->setSpacing(UpdatesCard::lineSpacing);
    for (QWidget* line : lines) {
        text->addWidget(line);
    }
    layout->addLayout(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(UpdatesCard::buttonSpacing);
    for (QWidget* button : trailing) {
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        buttons->addWidget(button, 0, Qt::AlignVCenter);
    }
    layout->addLayout(buttons);
    row->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    return row;
}

}  // namespace

UpdatesCard::UpdatesCard(Context context, QWidget* parent)
    : YardCard(QStringLiteral("Updates"), std::nullopt, parent),
      context_(std::move(context)),
      statusSymbol_(new Symbol(QString(UpdatesCardState::statusSymbol), false)),
      statusTitle_(new YardText({}, Yard::labelFont())),
      statusDetail_(new YardText({}, Yard::hintFont(), &Yard::Palette::muted)),
      checkNow_(new YardButton(QStringLiteral("Check Now"), YardButton::Kind::secondary)),
      updateRule_(new CardRule),
      updateTitle_(new YardText({}, Yard::labelFont())),
      releaseNotes_(
          new PaneLink(WebLink::label(QStringLiteral("Release Notes")), Yard::bodyFont())),
      install_(new YardButton({}, YardButton::Kind::primary)),
      note_(new YardText({}, Yard::hintFont(), &Yard::Palette::accentType)),
      locationNote_(new YardText({}, Yard::hintFont(), &Yard::Palette::muted)),
      automaticChecks_(new YardSwitch(QStringLiteral("Check for updates automatically"),
                                      context_.machinePreferences.value().automaticUpdateChecks)) {
    setObjectName(QStringLiteral("updates"));
    UpdateController& updates = context_.updates;

    addWidget(buildRow(statusSymbol_, {statusTitle_, statusDetail_}, {checkNow_}));
    addWidget(updateRule_);
    updateRow_ = buildRow(new Symbol(QString(UpdatesCardState::updateSymbol), true), {updateTitle_},
                          {releaseNotes_, install_});
    addWidget(updateRow_);
    // The notes take the card's width and wrap onto as many lines as they need.
    for (YardText* note : {note_, locationNote_}) {
        QSizePolicy policy = note->sizePolicy();
        policy.setHorizontalPolicy(QSizePolicy::Expanding);
        note->setSizePolicy(policy);
        addWidget(note);
    }
    addWidget(new CardRule);
    automaticRow_ = new SettingRow(QStringLiteral("Check for updates automatically"),
                                   QStringLiteral("Once a day."), std::nullopt, automaticChecks_);
    addWidget(automaticRow_);

    // The probe: its answer shows here and in the menu, not in the updater's window.
    connect(checkNow_, &QAbstractButton::clicked, this,
            [&updates] { updates.checkInBackground(); });
    connect(install_, &QAbstractButton::clicked, this, [&updates] { updates.checkNow(); });
    connect(releaseNotes_, &QAbstractButton::clicked, this, [this] {
        if (state_.releaseNotes) {
            context_.urlOpener.openOrReport(
                *state_.releaseNotes,
                OpenFailureNotice::whenNothingOpened(this, OpenFailureNotice::noBrowser,
                                                     state_.releaseNotes->toString()));
        }
    });
    connect(automaticChecks_, &QAbstractButton::clicked, this, [this](bool on) {
        context_.machinePreferences.modify(
            [on](MachinePreferences& preferences) { preferences.automaticUpdateChecks = on; });
        if (context_.onSave) {
            context_.onSave();
        }
    });

    // The updater follows the switch from any source, from the first change on.
    subscriptions_ += context_.machinePreferences.subscribeDistinct(
        [](const MachinePreferences& preferences) { return preferences.automaticUpdateChecks; },
        [this](bool on) {
            automaticChecks_->setChecked(on && state_.automaticChecksEnabled);
            context_.updates.apply(context_.machinePreferences.value());
        });
    const auto redraw = [this](const auto&) { refresh(); };
    subscriptions_ += updates.note().subscribe(redraw);
    subscriptions_ += updates.checking().subscribe(redraw);
    subscriptions_ += updates.lastChecked().subscribe(redraw);
    subscriptions_ += updates.failed().subscribe(redraw);
    subscriptions_ += updates.availability().subscribe(redraw);
    refresh();
}

void UpdatesCard::refresh() {
    const UpdateController& updates = context_.updates;
    UpdatesCardState::Inputs inputs;
    inputs.availability = updates.availability().value();
    inputs.checking = updates.checking().value();
    inputs.failed = updates.failed().value();
    inputs.lastChecked = updates.lastChecked().value();
    inputs.note = updates.note().value();
    inputs.source = updates.updateSource();
    inputs.currentVersion = updates.currentVersion();
    inputs.website = context_.website;
    inputs.now = context_.clock.now();
    state_ = UpdatesCardState::from(inputs);

    statusSymbol_->setName(state_.statusSymbolName);
    statusTitle_->setText(state_.statusTitle);
    statusDetail_->setText(state_.statusDetail);
    checkNow_->setVisible(state_.showsCheckNow);
    checkNow_->setEnabled(state_.checkNowEnabled);
    // Without the feed the switch stays off whatever is stored, and says why.
    automaticChecks_->setEnabled(state_.automaticChecksEnabled);
    automaticChecks_->setChecked(state_.automaticChecksEnabled &&
                                 context_.machinePreferences.value().automaticUpdateChecks);
    automaticRow_->text()->setHint(state_.automaticChecksHint);

    updateRule_->setVisible(state_.showsUpdateRow);
    updateRow_->setVisible(state_.showsUpdateRow);
    updateTitle_->setText(state_.updateTitle);
    install_->setText(state_.installLabel);
    install_->setEnabled(state_.installEnabled);
    install_->updateGeometry();
    releaseNotes_->setVisible(state_.releaseNotes.has_value());
    if (state_.releaseNotes) {
        releaseNotes_->setToolTip(state_.releaseNotes->toString());
        releaseNotes_->setAccessibleDescription(QStringLiteral("Opens the release notes on ") +
                                                state_.releaseNotes->host());
    }

    note_->setText(state_.note.value_or(QString()));
    note_->setVisible(state_.note.has_value());
    locationNote_->setText(state_.locationNote.value_or(QString()));
    locationNote_->setVisible(state_.locationNote.has_value());
}

}  // namespace pellucine
