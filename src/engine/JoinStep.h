#pragma once
// How one step of the join ended: go on, or end the join. A failure carries the message the
// join's end shows (empty when the step already showed it); an abort is the user's Cancel on a
// Retry/Cancel question; a stop is the user's Cancel after the output was written (the
// message says what became of it).
#include "platform/MessageBox.h"

#include <QString>
#include <cerrno>

namespace kt {

// The process or the system has no descriptor left.
inline bool isTooManyFiles(int error)
{
    return error == EMFILE || error == ENFILE;
}

struct JoinStep
{
    enum class Kind { Go, Failed, Aborted, Stopped };
    Kind kind = Kind::Go;
    QString text;
    int style = MB_ICONHAND;

    bool go() const { return kind == Kind::Go; }
    static JoinStep next() { return {}; }
    static JoinStep failure(const QString& text, int style = MB_ICONHAND)
    {
        return {Kind::Failed, text, style};
    }
    static JoinStep aborted() { return {Kind::Aborted, {}, MB_ICONHAND}; }
    static JoinStep stopped(const QString& text) { return {Kind::Stopped, text, MB_ICONINFORMATION}; }
};

} // namespace kt
