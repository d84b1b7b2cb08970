#pragma once

#include <QString>

// "V" + major + "." + minor + "." + revision, e.g. "V1.0.0". Display only.
QString VersionText();

// Formatting kept apart so it can be checked for any numbers.
QString VersionText(int major, int minor, int revision);
