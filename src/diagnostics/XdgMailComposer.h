#pragma once

#include "diagnostics/MailComposing.h"

namespace pellucine {

// New mails through the desktop's "xdg-email" tool, which attaches the file where the user's
// mail program allows it. Unavailable when the tool is not installed.
class XdgMailComposer final : public MailComposing {
  public:
    bool canCompose(const QString& file) const override;
    void compose(const QString& recipient, const QString& subject, const QString& body,
                 const QString& file) override;

  private:
    static QString tool();
};

}  // namespace pellucine
