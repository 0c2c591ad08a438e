#pragma once

#include <QString>
#include <functional>

namespace pellucine {

// Shows a file in the desktop's file manager with the file selected. Main thread.
class FileRevealing {
  public:
    virtual ~FileRevealing() = default;
    // `failed` runs when nothing showed it.
    virtual void reveal(const QString& file, std::function<void()> failed = {}) = 0;
};

}  // namespace pellucine
