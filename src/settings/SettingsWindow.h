#pragma once

#include <QWidget>
#include <memory>

#include "settings/SettingsContext.h"

namespace pellucine {

class AppModel;
class Appearance;
class QtDialogHost;
class SettingsView;

// The settings window: one top-level window around the settings view, titled
// "PELLUCINE Settings". Closing it, with its close button or Escape, only hides it; the shell
// brings the same window back.
class SettingsWindow final : public QWidget {
    Q_OBJECT

  public:
    static inline const QString title = QStringLiteral("PELLUCINE Settings");
    static constexpr int width = 900;
    static constexpr int height = 680;

    struct Options {
        // Dialogs of the window; its own Qt dialogs when none.
        DialogHost* dialogs = nullptr;
        const Appearance* appearance = nullptr;
    };

    // `context` makes the view's context around the dialogs it is given: `options.dialogs`, or
    // the window's own.
    SettingsWindow(AppModel& model, const std::function<SettingsContext(DialogHost&)>& context,
                   Options options, QWidget* parent = nullptr);
    SettingsWindow(AppModel& model, const std::function<SettingsContext(DialogHost&)>& context)
        : SettingsWindow(model, context, Options{}) {}
    ~SettingsWindow() override;

    SettingsView* view() const { return view_; }

    // Shows the window, or brings it forward when it is already shown.
    void present();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    std::unique_ptr<QtDialogHost> ownDialogs_;
    SettingsView* view_;
};

}  // namespace pellucine
