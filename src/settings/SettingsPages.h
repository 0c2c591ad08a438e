#pragma once

class QWidget;

namespace pellucine {

class SettingsView;

// The pages of the settings window, each built for the view that shows it.
namespace SettingsPages {

QWidget* general(SettingsView& view);
QWidget* switcher(SettingsView& view);
// The content of the "Dock Previews" card.
QWidget* dock(SettingsView& view);
// The About page of a window that was given none: the product card alone.
QWidget* about(SettingsView& view);

}  // namespace SettingsPages
}  // namespace pellucine
