// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "util/expected.h"

#include <QString>

#include <cerrno>
#include <cstring>

// Why a step on the disk failed, as far as its caller acts on it.
enum class FileProblem {
    Busy,      // another download writes the part, or it is not ours to write
    NameTaken, // something has the name already: try another
    DiskFull,  // no space, over the file-size limit or the quota
    Failed,    // any other system error
};

// The detail is the file the step was on; code is errno (0 when none applies).
using FileFailure = Failure<FileProblem>;

// DiskFull or Failed, as error says.
inline Unexpected<FileFailure> fileFailure(const QString &path, int error = errno)
{
    const bool full = error == ENOSPC || error == EFBIG || error == EDQUOT;
    return unexpected(full ? FileProblem::DiskFull : FileProblem::Failed, path, error);
}

// The system's own line for it.
inline QString fileFailureText(const FileFailure &failure)
{
    return QString::fromLocal8Bit(std::strerror(failure.code));
}
