#pragma once

#include <QString>

struct TProgramVersion
{
    int major = 0, minor = 0, release = 0;
    bool preRelease = false;
};

// This build's version, from the project version.
TProgramVersion ProgramVersion();

// "Pelvane Ver.%d.%2.2d": a pre-release shows the next minor number and "β" plus the release
// (when above 0); a release build appends "." and the release when it is above 0.
QString VersionLabel(const TProgramVersion &version);
