#pragma once

#include <QPoint>
#include <QString>
#include <memory>
#include <optional>

#include "settings/CardFrame.h"

class QMimeData;

namespace pellucine {

// The program's own tile, for dragging the program by hand into a list of allowed programs
// that it was not added to.
class DraggablePermissionTile : public CardFrame {
    Q_OBJECT

  public:
    static constexpr int iconSide = 38;
    static constexpr int spacing = 12;
    static constexpr int textSpacing = 2;

    explicit DraggablePermissionTile(QWidget* parent = nullptr);

    // What a drag offers: the program file at `path` as a local file, or nothing when there is
    // no such file.
    static std::unique_ptr<QMimeData> dragData(const QString& path);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    std::optional<QPoint> pressedAt_;
};

}  // namespace pellucine
