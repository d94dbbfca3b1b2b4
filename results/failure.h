#pragma once

#include <QString>

// Something that went wrong and is told to the user, in German: a file or stream that cannot be
// written, a start that cannot work, a bad argument. Every part of the program that reports a
// failure gives one of these; a default one is no failure at all.
class [[nodiscard]] Failure {
public:
    Failure() = default;
    explicit Failure(QString cause) : m_cause(std::move(cause)) {}
    // The cause of a system error (an errno value), in German and in lower case, to follow a
    // colon; no failure for 0. The system's own texts are English in most sessions and say
    // nothing to the program's users.
    static Failure ofError(int error);

    explicit operator bool() const { return !m_cause.isEmpty(); }
    const QString &cause() const { return m_cause; }

    // The one way to say that an output failed: "<what> kann nicht geschrieben werden: <cause>".
    Failure writing(const QString &what) const;

private:
    QString m_cause;
};
