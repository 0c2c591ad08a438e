#pragma once

#include <QString>

namespace pellucine {

// The desktop's way of starting a new mail with a file attached. Main thread.
class MailComposing {
  public:
    virtual ~MailComposing() = default;
    // Whether a new mail can carry `file`.
    virtual bool canCompose(const QString& file) const = 0;
    // Opens a new mail to `recipient` with `subject`, `body` and `file` attached.
    virtual void compose(const QString& recipient, const QString& subject, const QString& body,
                         const QString& file) = 0;
};

}  // namespace pellucine
