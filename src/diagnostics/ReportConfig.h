#pragma once

#include <QColor>
#include <QSize>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace pellucine::ReportProblem {

class Model;
struct ThisApp;

// The host's say over sending: whether it is allowed, and where a change of it is kept.
// Both run on the main thread.
struct Consent {
    std::function<bool()> get;
    std::function<void(bool)> set;
};

// How a host program describes itself to the report module. Closures run on the main thread;
// an empty closure reads as an empty text or does nothing.
struct Config {
    // Shown to the user, and named in the file, the mail subject and the report.
    QString appName;
    // Sent in the "X-OV-App-Token" header.
    QString appToken;
    // Where reports are sent; none (empty) in a build without a report server, where Send
    // saves the report as a file for the user to send.
    QUrl endpoint;
    // Called once for each send and each save for e-mail.
    std::function<QString()> installID;
    std::function<QString()> diagnostics;
    // Fill and label of the prominent buttons.
    QColor accent;
    QColor onAccent;
    // Offered after a failed send.
    std::optional<QUrl> fallbackPage;
    // Receives one status line at each step.
    std::function<void(const QString&)> record;
    // The window's content in place of the default pages; the window owns what it returns.
    std::function<std::unique_ptr<QWidget>(const std::shared_ptr<Model>&)> content;
    // The window's content size when `content` is set.
    QSize contentSize;
    // When set, the user may switch sending over the internet off.
    std::optional<Consent> consent;
    // When absent, the e-mail route is not offered.
    std::optional<QString> supportEmail;
    // The placeholder of the empty editor.
    QString example;

    // The endpoint is an address with a host.
    bool hasEndpoint() const { return endpoint.isValid() && !endpoint.host().isEmpty(); }

    // This program's configuration (ThisAppReport.h).
    static Config thisApp(const ThisApp& context);
};

}  // namespace pellucine::ReportProblem
