#pragma once

#include <QDir>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QTimer>

#include "diagnostics/ReportModel.h"
#include "platform/UrlOpener.h"
#include "support/TempFolder.h"

namespace pellucine::testing {

using namespace Qt::StringLiterals;

// Stand-ins for the desktop's handlers that keep what they were asked.
struct RecordingDesktop : UrlOpener, MailComposing, FileRevealing {
    QList<QUrl> opened;
    bool canMail = true;
    QStringList mails;  // recipient, subject, body and file of each
    QStringList revealed;
    // Links and reveals fail as when no browser, mail program or file manager is there.
    bool opensFail = false;
    bool revealFails = false;

    bool open(const QUrl& url) override { return opened.append(url), !opensFail; }
    bool canCompose(const QString&) const override { return canMail; }
    void compose(const QString& to, const QString& subject, const QString& body,
                 const QString& file) override {
        mails << to << subject << body << file;
    }
    void reveal(const QString& file, std::function<void()> failed) override {
        revealed.append(file);
        if (revealFails && failed) {
            failed();
        }
    }
};

// A report's surroundings in a scratch folder: a desktop folder, a clock at 21:05 on
// 7 December 2026 in a zone half an hour off the hour, loopback-only networking and fixed
// facts. The locale is pinned and the draft starts empty.
struct ReportBench {
    TempFolder folder;
    FakeWallClock clock{QDateTime(QDate(2026, 12, 7), QTime(15, 35), Qt::UTC)};
    QNetworkAccessManager network;
    std::shared_ptr<RecordingDesktop> desk = std::make_shared<RecordingDesktop>();
    QStringList lines;
    // Calls of the install identifier and of the diagnostics.
    int gathered = 0;

    ReportBench() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        network.setProxy(QNetworkProxy::NoProxy);
        QDir().mkpath(desktop());
        ReportProblem::Model::draft().clear();
    }

    QString desktop() const { return folder.path() + u"/Desktop"_s; }
    QString reports() const { return folder.path() + u"/reports"_s; }
    QString file(const QString& name = u"ACME-report-2026-12-07-2105.txt"_s) const {
        return desktop() + u'/' + name;
    }

    ReportProblem::Environment environment() {
        ReportProblem::Environment environment{&clock, QTimeZone(5 * 3600 + 1800), desktop(),
                                               reports()};
        environment.facts = [] {
            return ReportProblem::Facts{u"com.example.acme"_s, u"1.2"_s, u"34"_s, u"Linux 6.1"_s,
                                        u"ThinkPad X1"_s};
        };
        environment.network = &network;
        environment.mail = desk;
        environment.files = desk;
        environment.urls = desk.get();
        return environment;
    }

    ReportProblem::Config config(const QUrl& endpoint = {}) {
        ReportProblem::Config config{u"ACME"_s, u"acme_tok_0123456789abcdef01234567"_s, endpoint};
        config.installID = [this] { return ++gathered, u"install-1"_s; };
        config.diagnostics = [this] { return ++gathered, u"  log line\n"_s; };
        config.record = [this](const QString& line) { lines.append(line); };
        config.supportEmail = u"help@example.com"_s;
        config.example = u"EX: it froze."_s;
        return config;
    }

    std::shared_ptr<ReportProblem::Model> model(const QString& text, const QUrl& endpoint = {}) {
        return ReportProblem::Model::create(config(endpoint), environment(), text);
    }

    QStringList saved(const QString& where) const {
        return QDir(where).entryList(QDir::Files, QDir::Name);
    }
};

// Runs the event loop until `done` holds or five seconds have passed; true when it holds.
template <typename Done>
bool runUntil(Done done) {
    QTimer guard;
    guard.setSingleShot(true);
    guard.start(5000);
    QEventLoop loop;
    while (!done() && guard.isActive()) {
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    }
    return done();
}

}  // namespace pellucine::testing
