#include "diagnostics/ReportModel.h"

#include <QCoro/QCoroNetworkReply>
#include <QDir>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QUrlQuery>

#include "diagnostics/ReportFile.h"
#include "platform/UrlOpener.h"

namespace pellucine::ReportProblem {

namespace {

QString call(const std::function<QString()>& fn) {
    return fn ? fn() : QString();
}

QString fileName(const QString& path) {
    return QFileInfo(path).fileName();
}

// The system's words for a failure without an answer.
QString describe(const QNetworkReply& reply) {
    switch (reply.error()) {
        case QNetworkReply::TimeoutError:
        case QNetworkReply::OperationCanceledError:
            return QStringLiteral("The request timed out.");
        default:
            return reply.errorString();
    }
}

struct DeleteLater {
    void operator()(QObject* object) const { object->deleteLater(); }
};

}  // namespace

std::shared_ptr<Model> Model::create(Config config, Environment environment, QString text) {
    return std::make_shared<Model>(Token{}, std::move(config), std::move(environment),
                                   std::move(text));
}

Model::Model(Token, Config config, Environment environment, QString text)
    : config_(std::move(config)),
      environment_(std::move(environment)),
      text_(std::move(text)),
      sendingAllowed_(config_.consent && config_.consent->get ? config_.consent->get() : true) {}

QString& Model::draft() {
    static QString words;
    return words;
}

void Model::setText(const QString& text) {
    text_ = text;
    draft() = text;
    emit textChanged();
}

void Model::setPhase(const Phase& phase) {
    phase_ = phase;
    emit phaseChanged();
}

void Model::setUnsaved(const QString& unsaved) {
    if (unsaved_ != unsaved) {
        unsaved_ = unsaved;
        emit unsavedChanged();
    }
}

void Model::setSendingAllowed(bool allowed) {
    sendingAllowed_ = allowed;
    if (config_.consent && config_.consent->set) {
        config_.consent->set(allowed);
    }
    record(allowed ? QStringLiteral("report sending switched on")
                   : QStringLiteral("report sending switched off"));
    emit sendingAllowedChanged();
}

void Model::close() const {
    if (closer_) {
        closer_();
    }
}

bool Model::hasText() const {
    return !trimmedText(text_).isEmpty();
}

bool Model::canSend() const {
    return phase_.is(Phase::Kind::writing) && sendingAllowed_ && hasText();
}

bool Model::canEmail() const {
    return phase_.is(Phase::Kind::writing) && config_.supportEmail.has_value() && hasText();
}

void Model::record(const QString& line) const {
    if (config_.record) {
        config_.record(line);
    }
}

Report Model::gather() const {
    Facts facts = environment_.facts ? environment_.facts() : Facts{};
    return {std::move(facts), call(config_.installID), call(config_.diagnostics), text_};
}

QNetworkRequest Model::request() const {
    QNetworkRequest request(config_.endpoint);
    request.setTransferTimeout(static_cast<int>(environment_.timeout.count()));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    request.setRawHeader("X-OV-App-Token", config_.appToken.toUtf8());
    return request;
}

void Model::send() {
    if (!canSend()) {
        return;
    }
    setUnsaved({});
    setPhase(Phase::sending());
    Report report = gather();
    if (!config_.hasEndpoint()) {
        // Nothing is sent: the one progress line is the saved copy's.
        handle(report, Outcome::noServer());
        return;
    }
    QNetworkRequest outgoing = request();
    record(QStringLiteral("sending report"));
    upload(shared_from_this(), std::move(report), std::move(outgoing));
}

QCoro::Task<void> Model::upload(std::shared_ptr<Model> self, Report report,
                                QNetworkRequest request) {
    QNetworkAccessManager* network = self->environment_.network;
    if (network == nullptr) {
        self->handle(report, Outcome::unreachable(QStringLiteral("no network access")));
        co_return;
    }
    const std::unique_ptr<QNetworkReply, DeleteLater> reply(
        network->post(request, report.requestBody(self->config_.appName)));
    co_await reply.get();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid() && reply->error() != QNetworkReply::NoError) {
        self->handle(report, Outcome::unreachable(describe(*reply)));
    } else {
        self->handle(report,
                     Outcome::ofAnswer(status.isValid() ? status.toInt() : 0, reply->readAll()));
    }
}

void Model::handle(const Report& report, const Outcome& outcome) {
    if (outcome.id) {
        record(QStringLiteral("report sent as ") + *outcome.id);
        draft().clear();
        setPhase(Phase::sent(*outcome.id));
        return;
    }
    const ReportFile::Saved saved =
        ReportFile::save(report.plainText(config_.appName), config_.appName, environment_);
    record(
        QStringLiteral("report not sent (%1); saved %2")
            .arg(outcome.reason, saved.path ? fileName(*saved.path) : QStringLiteral("nothing")));
    if (!saved.path) {
        setUnsaved(QStringLiteral("The report wasn’t sent, and it couldn’t be saved either (%1). "
                                  "Your words are still here for another try.")
                       .arg(saved.failure));
        setPhase(Phase::writing());
        return;
    }
    draft().clear();
    setPhase(Phase::saved(*saved.path, outcome.reason));
}

void Model::emailInstead() {
    if (!canEmail()) {
        return;
    }
    const Report report = gather();
    const ReportFile::Saved saved =
        ReportFile::save(report.plainText(config_.appName), config_.appName, environment_);
    if (!saved.path) {
        setUnsaved(QStringLiteral("The report couldn’t be saved to attach to a mail (%1). Your "
                                  "words are still here for another try.")
                       .arg(saved.failure));
        return;
    }
    setUnsaved({});
    const QString& file = *saved.path;
    record(QStringLiteral("report saved for email as ") + fileName(file));
    composeMail(*config_.supportEmail, config_.appName + QStringLiteral(" problem report"), file,
                environment_);
    draft().clear();
    setPhase(Phase::emailed(file));
}

void Model::backFromEmail() {
    if (!phase_.is(Phase::Kind::emailed)) {
        return;
    }
    draft() = text_;
    record(QStringLiteral("report back from email"));
    setPhase(Phase::writing());
}

QUrl Model::mailtoUrl(const QString& recipient, const QString& subject, const QString& body) {
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(recipient);
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"), subject);
    query.addQueryItem(QStringLiteral("body"), body);
    url.setQuery(query);
    return url;
}

void Model::composeMail(const QString& recipient, const QString& subject, const QString& file,
                        const Environment& environment) {
    if (environment.mail && environment.mail->canCompose(file)) {
        environment.mail->compose(
            recipient, subject,
            QStringLiteral("What happened, and the app's log, are in the attached file."), file);
    } else {
        const QString from = ReportFile::isOnDesktop(file, environment)
                                 ? QStringLiteral("my Desktop")
                                 : QDir::toNativeSeparators(QFileInfo(file).absolutePath());
        const QUrl url = mailtoUrl(
            recipient, subject, QStringLiteral("Attached: %1, from %2.").arg(fileName(file), from));
        if (url.isValid() && environment.urls != nullptr) {
            environment.urls->open(url);
        }
    }
    if (environment.files) {
        environment.files->reveal(file);
    }
}

}  // namespace pellucine::ReportProblem
