#pragma once

#include <QString>

// Every match of pattern in subject replaced by replacement, matching
// case-insensitively. An invalid pattern leaves the subject unchanged.
QString regexReplace(const QString &subject, const QString &pattern, const QString &replacement);
