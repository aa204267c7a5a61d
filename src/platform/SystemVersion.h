#pragma once

#include <QString>

// The running system's name and version, for the version window: the distribution's name and
// version from os-release, else the kernel's.
class SystemVersion
{
public:
    // "Debian GNU/Linux", "Ubuntu", ...; "Linux" (with the kernel's version) when the distribution
    // gives no version.
    static QString systemName();
    // Each pointer may be null. False (and 0.0.0) when no version could be read.
    static bool getSystemVersionMajor(unsigned *major, unsigned *minor, unsigned *bugFix);
    // Parses up to three numbers out of a version text ("12", "22.04", "6.1.0-18-amd64").
    static bool parseVersion(const QString &text, unsigned *major, unsigned *minor, unsigned *bugFix);
    // Where os-release is read from (tests point it elsewhere).
    static void setOsReleasePath(const QString &path);
};
