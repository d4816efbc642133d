#pragma once
#include <QString>

// An exclusive advisory hold (flock) on a file, let go on destruction or when the process ends, however it
// ends. Firebird's engine holds a shared one on every database file it has open: an exclusive hold on the
// database file cannot be had while any engine has the file open, and keeps every engine out while held.
class FileHold {
public:
    enum class Result { Held, Busy, Unavailable };
    enum class Kind {
        Existing, // a file that is there for its own sake (a database)
        Turn,     // a file that exists only to be held: made when missing, removed when let go
    };

    FileHold() = default;
    FileHold(const FileHold&) = delete;
    FileHold& operator=(const FileHold&) = delete;
    ~FileHold();

    // Tries until waitMs have passed. Unavailable: the file cannot be opened (or, for a turn, made).
    Result Take(const QString& path, Kind kind, int waitMs);
    void Release();

private:
    int m_fd = -1;
    QString m_path;
    bool m_remove = false;
};

// Flushes a finished file to disk and puts it in the place of target in one step: whoever opens target
// finds either the old file whole or the new one whole. Returns an error text, empty on success.
QString ReplaceFile(const QString& from, const QString& target);
