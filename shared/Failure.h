#pragma once
#include <QString>
#include <stdexcept>

// A failed file, picture or network operation. Handlers let it propagate; the application's
// event dispatch (Application::notify, or Guarded) reports it and the handler stops there.
class Failure : public std::runtime_error {
public:
    explicit Failure(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};
