#pragma once
// Failures carry a ready-to-show message; the outermost handler of a user command
// shows it in the error box. No error codes.

#include <QByteArray>
#include <QString>
#include <exception>

class Error : public std::exception {
public:
    explicit Error(QString message);
    const QString &message() const noexcept { return message_; }
    const char *what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

// A value that does not fit the field or buffer it is meant for.
class RangeError : public Error {
public:
    using Error::Error;
};
