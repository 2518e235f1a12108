#pragma once

#include "text/styledtext.h"

#include <QString>

namespace veltrik {

// What every document reader gives: the content, or why there is none.
struct DocumentResult {
    enum class Status {
        Ok,
        NotThisFormat, // the bytes are of another kind of file
        Damaged,       // of this format, but broken
        Unsupported,   // of this format, in a version or form that is not read
        Encrypted,
        TooLarge,
        Unreadable, // the file cannot be read at all
    };

    Status status = Status::Ok;
    QString message; // for the user, in the program's language; empty when Ok
    StyledText content;
    // For the user after a successful read that had to mend the file (a bad byte replaced, a damaged tail
    // dropped); empty when the file read cleanly.
    QString notice;

    explicit operator bool() const { return status == Status::Ok; }

    static DocumentResult ok(StyledText content, const QString &notice = QString())
    {
        return {Status::Ok, QString(), std::move(content), notice};
    }
    static DocumentResult failure(Status status, const QString &message) { return {status, message, {}, {}}; }
};

} // namespace veltrik
