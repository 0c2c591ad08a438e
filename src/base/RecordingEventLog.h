#pragma once

#include <QStringList>
#include <optional>
#include <vector>

#include "base/EventRecording.h"

namespace pellucine {

// Keeps every recorded event in memory, unfiltered, for tests to inspect.
class RecordingEventLog final : public EventRecording {
  public:
    struct Event {
        QString name;
        EventFields fields;
    };

    using EventRecording::record;
    void record(const QString& event, const EventFields& fields) override {
        events_.push_back({event, fields});
    }

    const std::vector<Event>& events() const { return events_; }
    QStringList names() const {
        QStringList out;
        for (const Event& e : events_) {
            out << e.name;
        }
        return out;
    }
    int count(const QString& name) const {
        int n = 0;
        for (const Event& e : events_) {
            n += e.name == name ? 1 : 0;
        }
        return n;
    }
    std::optional<Event> last(const QString& name) const {
        for (auto it = events_.rbegin(); it != events_.rend(); ++it) {
            if (it->name == name) {
                return *it;
            }
        }
        return std::nullopt;
    }
    void clear() { events_.clear(); }

  private:
    std::vector<Event> events_;
};

}  // namespace pellucine
