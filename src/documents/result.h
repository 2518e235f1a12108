#pragma once

#include "styledtext.h"

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
        Unreadable,    // the file cannot be read at all
    };

    Status status = Status::Ok;
    QString message; // for the user, in the program's language; empty when Ok
    StyledText content;

    explicit operator bool() const { return status == Status::Ok; }

    static DocumentResult ok(StyledText content) { return {Status::Ok, QString(), std::move(content)}; }
    static DocumentResult failure(Status status, const QString &message) { return {status, message, {}}; }
};

} // namespace veltrik
