#pragma once

#include "documentlibrary.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

namespace veltrik {

// What became of one file given to addToLibrary().
struct AddedFile {
    enum class Outcome {
        Added,
        Updated,    // a document of this name was there with other content
        Unchanged,  // this name with this content was there already
        Duplicate,  // the same content is there under another name (`detail`); it is stored once
        Unreadable, // `detail` says why
    };
    QString name;
    QString path;
    Outcome outcome = Outcome::Added;
    QString detail;
};

// Adds files, and every file in folders and their subfolders, to the library. A file is named by its file
// name; a file found in a folder by its path relative to that folder. Files are read as the open command
// reads them (every format it opens; PDF once enabled), and read and fingerprinted on several threads.
// `progress` is called on the calling thread once the files are found (none done yet) and after each file,
// with the files done and the files found.
// Once `cancelled` is set no further file is read; those being read are still stored, and the files
// stored stay. False with the library's error when the library cannot be written; unreadable files are
// reported and skipped.
struct AddCallbacks {
    std::function<void(const AddedFile &)> reported;
    std::function<void(qsizetype done, qsizetype total)> progress;
    const std::atomic_bool *cancelled = nullptr;
};
bool addToLibrary(DocumentLibrary &library, const QStringList &filesAndFolders, const AddCallbacks &callbacks);

} // namespace veltrik
