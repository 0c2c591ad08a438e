#pragma once

#include <QString>

namespace pellucine {

// Shows a file in the desktop's file manager with the file selected. Main thread.
class FileRevealing {
  public:
    virtual ~FileRevealing() = default;
    virtual void reveal(const QString& file) = 0;
};

}  // namespace pellucine
