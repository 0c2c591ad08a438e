#pragma once

#include <QByteArray>
#include <QStringList>
#include <optional>

namespace pellucine {

// What a later launch hands to the running instance: its links, or a request to come forward
// when it has none. Sent as UTF-8 lines: "link <text>" for each link, or "reopen", then "end".
struct InstanceMessage {
    QStringList links;
    bool reopen = false;

    friend bool operator==(const InstanceMessage&, const InstanceMessage&) = default;

    // At most this many links, each line at most `maximumLineLength` bytes.
    static constexpr int maximumLinks = 16;
    static constexpr int maximumLineLength = 8192;

    // A reopen request when `links` is empty. Links with line breaks are left out.
    static QByteArray encode(const QStringList& links);
};

// Reads one message from bytes as they arrive.
class InstanceMessageReader {
  public:
    enum class State { reading, complete, invalid };

    // Takes more bytes; once complete or invalid, further bytes are ignored.
    State feed(const QByteArray& bytes);

    State state() const { return state_; }
    // The message, once complete.
    const InstanceMessage& message() const { return message_; }

  private:
    State readLine(const QByteArray& line);

    State state_ = State::reading;
    QByteArray buffer_;
    InstanceMessage message_;
};

}  // namespace pellucine
