#include "app/InstanceMessage.h"

namespace pellucine {

namespace {

const QByteArray linkPrefix = QByteArrayLiteral("link ");
const QByteArray reopenLine = QByteArrayLiteral("reopen");
const QByteArray endLine = QByteArrayLiteral("end");

}  // namespace

QByteArray InstanceMessage::encode(const QStringList& links) {
    QByteArray out;
    for (const QString& link : links) {
        if (link.contains(QLatin1Char('\n')) || link.contains(QLatin1Char('\r'))) {
            continue;
        }
        out += linkPrefix + link.toUtf8() + '\n';
    }
    if (out.isEmpty()) {
        out = reopenLine + '\n';
    }
    return out + endLine + '\n';
}

InstanceMessageReader::State InstanceMessageReader::feed(const QByteArray& bytes) {
    if (state_ != State::reading) {
        return state_;
    }
    buffer_ += bytes;
    qsizetype start = 0;
    while (state_ == State::reading) {
        const qsizetype newline = buffer_.indexOf('\n', start);
        if (newline < 0) {
            break;
        }
        state_ = readLine(buffer_.mid(start, newline - start));
        start = newline + 1;
    }
    buffer_.remove(0, start);
    if (state_ == State::reading && buffer_.size() > InstanceMessage::maximumLineLength) {
        state_ = State::invalid;
    }
    return state_;
}

InstanceMessageReader::State InstanceMessageReader::readLine(const QByteArray& line) {
    if (line.size() > InstanceMessage::maximumLineLength) {
        return State::invalid;
    }
    if (line == endLine) {
        const bool empty = message_.links.isEmpty() && !message_.reopen;
        return empty ? State::invalid : State::complete;
    }
    if (line == reopenLine && message_.links.isEmpty() && !message_.reopen) {
        message_.reopen = true;
        return State::reading;
    }
    if (line.startsWith(linkPrefix) && !message_.reopen &&
        message_.links.size() < InstanceMessage::maximumLinks) {
        message_.links.append(QString::fromUtf8(line.mid(linkPrefix.size())));
        return State::reading;
    }
    return State::invalid;
}

}  // namespace pellucine
