#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "base/AppPaths.h"

namespace pellucine::testing {

// A fresh folder for one test, removed afterwards, with AppPaths below it.
class TempFolder {
  public:
    TempFolder() { EXPECT_TRUE(dir_.isValid()); }
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }
    AppPaths paths() const { return AppPaths::under(dir_.path()); }

  private:
    QTemporaryDir dir_;
};

}  // namespace pellucine::testing
