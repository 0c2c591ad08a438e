#pragma once

#include "diagnostics/FileRevealing.h"

namespace pellucine {

class UrlOpener;

// Asks the session's file manager over D-Bus to show the file selected; when no file manager
// answers, opens the file's folder instead, and tells when that fails too.
class FileManagerRevealer final : public FileRevealing {
  public:
    explicit FileManagerRevealer(UrlOpener& urls) : urls_(urls) {}
    void reveal(const QString& file, std::function<void()> failed = {}) override;

  private:
    UrlOpener& urls_;
};

}  // namespace pellucine
