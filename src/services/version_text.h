#pragma once

#include <QString>

// "V" + major + "." + minor + "." + revision, e.g. "V1.0.0". Display only.
QString versionText();

// Formatting kept apart so it can be checked for any numbers.
QString versionText(int major, int minor, int revision);
