#pragma once

#include <QWidget>

namespace pellucine {

class HazardStripe;
class SavedStamp;
class YardText;

// The head of a settings page: its title in upper case with the "Saved" stamp at the far end,
// and a hazard stripe under them.
class BayHeader : public QWidget {
    Q_OBJECT

  public:
    static constexpr int titleSize = 28;
    static constexpr qreal titleTracking = 1.0;
    static constexpr int minimumGap = 16;
    static constexpr int titleRowSpacing = 8;
    static constexpr int stripeSpacing = 9;
    static constexpr int stripeHeight = 5;

    explicit BayHeader(const QString& title, bool saved = false, QWidget* parent = nullptr);

    void setTitle(const QString& title);
    // Shows or hides the stamp; the caller decides when a change counts as saved.
    void setSaved(bool saved);
    bool isSaved() const;

    YardText* title() const { return title_; }
    SavedStamp* stamp() const { return stamp_; }
    HazardStripe* stripe() const { return stripe_; }

    static QFont titleFont();

  private:
    YardText* title_;
    SavedStamp* stamp_;
    HazardStripe* stripe_;
};

}  // namespace pellucine
