#pragma once
#include "HostExport.h"
#include <QString>
#include <stdexcept>

// A failure of the data layer; the host's error handler shows its text and rolls the unit of work back.
class KELMHOST_EXPORT EDatabaseError : public std::runtime_error {
public:
    explicit EDatabaseError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// Another user committed a change to a row this unit of work read or wrote: the unit was rolled back, and
// begun again it may pass.
class KELMHOST_EXPORT EConflito : public EDatabaseError {
public:
    using EDatabaseError::EDatabaseError;
};

// The row written repeats a key another row holds (stored by another user meanwhile, as a rule).
class KELMHOST_EXPORT EChaveRepetida : public EDatabaseError {
public:
    using EDatabaseError::EDatabaseError;
};

// Ends an operation silently, as a refused right or a hook that cancels does.
class KELMHOST_EXPORT EAbort : public std::exception {
public:
    const char* what() const noexcept override { return "operation aborted"; }
};
