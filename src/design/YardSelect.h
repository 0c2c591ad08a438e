#pragma once

#include <QAbstractButton>
#include <QList>
#include <QPointer>
#include <QVariant>
#include <optional>

#include "design/SelectOption.h"
#include "design/TextBaseline.h"
#include "design/YardAccessible.h"

namespace pellucine {

class ContinuousClock;
class YardSelectList;

// The design system's drop-down choice: a fixed-width well showing the chosen option's title,
// or a placeholder, and a down chevron. Clicking it opens the option list below it; choosing a
// row closes the list and then emits `onSelect`, also when the row is the current selection.
// Escape or a click outside closes the list without choosing. The owner keeps the selection and
// hands it back with `setSelection`.
class YardSelect : public QAbstractButton, public HasTextBaseline, public AccessibleElement {
    Q_OBJECT

  public:
    static constexpr int wellHeight = 28;
    static constexpr int horizontalPadding = 10;
    static constexpr int minimumGap = 6;
    static constexpr qreal chevronSize = 12;
    static constexpr int popupGap = 4;

    YardSelect(const QString& label, const QList<SelectOption>& options, const QVariant& selection,
               const QString& placeholder, qreal width, QWidget* parent = nullptr);
    ~YardSelect() override;

    QString label() const { return accessibleName(); }
    QList<SelectOption> options() const { return options_; }
    void setOptions(const QList<SelectOption>& options);
    // An invalid variant is no selection.
    QVariant selection() const { return selection_; }
    void setSelection(const QVariant& selection);
    QString placeholder() const { return placeholder_; }
    // The title of the first option whose value is the selection.
    std::optional<QString> selectedTitle() const;

    bool isOpen() const { return list_ != nullptr; }
    void setOpen(bool open);
    // The open list, or null.
    YardSelectList* list() const { return list_; }

    // The clock the list's type-ahead reads; the system's by default. It must outlive the
    // select.
    void setClock(const ContinuousClock& clock);

    static QString accessibleHint();

    QSize sizeHint() const override { return {width_, wellHeight}; }
    QSize minimumSizeHint() const override { return sizeHint(); }
    int firstBaseline() const override;

    QAccessible::Role accessibleRole() const override { return QAccessible::ComboBox; }
    QString accessibleValue() const override;
    bool isAccessiblyPressable() const override { return true; }
    void accessiblePress() override { click(); }

  signals:
    void onSelect(const QVariant& value);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    class Popup;

    void choose(const QVariant& value);
    void popupClosed();

    QList<SelectOption> options_;
    QVariant selection_;
    QString placeholder_;
    int width_;
    const ContinuousClock* clock_;
    QPointer<Popup> popup_;
    QPointer<YardSelectList> list_;
};

}  // namespace pellucine
