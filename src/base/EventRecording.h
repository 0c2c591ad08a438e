#pragma once

#include <QMap>
#include <QString>

namespace pellucine {

// The fields of one event: lowerCamelCase keys to string values.
using EventFields = QMap<QString, QString>;

// Where events go: the flight recorder in the program, a recording fake in tests.
class EventRecording {
  public:
    virtual ~EventRecording() = default;
    virtual void record(const QString& event, const EventFields& fields) = 0;
    void record(const QString& event) { record(event, {}); }
};

}  // namespace pellucine
