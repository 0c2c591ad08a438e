#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace pellucine {

// The base of the program's thrown errors: each carries its user-facing description and the
// fully qualified name of its type, which events record as "errorType".
class Error : public std::exception {
  public:
    explicit Error(QString description)
        : description_(std::move(description)), utf8_(description_.toUtf8()) {}

    const QString& localizedDescription() const { return description_; }
    // "pellucine.<TypeName>".
    virtual QString typeName() const = 0;
    const char* what() const noexcept override { return utf8_.constData(); }

  private:
    QString description_;
    QByteArray utf8_;
};

// The "errorType" of any caught exception: the program's own name for its errors, the
// implementation's name for others.
QString errorTypeName(const std::exception& error);
// The user-facing description of any caught exception: the program's own text for its errors,
// what() for others.
QString errorDescription(const std::exception& error);

}  // namespace pellucine
