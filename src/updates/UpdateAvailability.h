#pragma once

#include <QString>
#include <optional>

namespace pellucine {

// What the last answer about updates said.
class UpdateAvailability {
  public:
    enum class Case { available, unknown, upToDate };

    // The menu's updates item.
    struct MenuItemText {
        QString title;
        QString subtitle;

        friend bool operator==(const MenuItemText&, const MenuItemText&) = default;
    };

    UpdateAvailability() = default;
    // `version`: the release's display version, without a "v".
    static UpdateAvailability available(QString version) {
        return UpdateAvailability(Case::available, std::move(version));
    }
    static UpdateAvailability unknown() { return {}; }
    static UpdateAvailability upToDate() { return UpdateAvailability(Case::upToDate, {}); }

    Case availabilityCase() const { return case_; }
    // The offered version; empty for the other cases.
    const QString& version() const { return version_; }

    // "v1.5 Available" and "Click to learn more…" for an available update; none otherwise.
    std::optional<MenuItemText> menuItemText() const;

    friend bool operator==(const UpdateAvailability&, const UpdateAvailability&) = default;

  private:
    UpdateAvailability(Case c, QString version) : case_(c), version_(std::move(version)) {}

    Case case_ = Case::unknown;
    QString version_;
};

}  // namespace pellucine
