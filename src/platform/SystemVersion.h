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
    // The name and the version as far as the system gives them: "Debian GNU/Linux 12.11",
    // "Ubuntu 22.04", "Linux 6.1.0"; no number the system did not give is added.
    static QString systemText();
    // The same from the contents of os-release and the Debian version file and the kernel's
    // release: os-release's VERSION_ID, made finer by the Debian version file only where that
    // begins with the same numbers ("12" and "12.11"), else the kernel's numbers under "Linux".
    static QString systemText(const QString &osRelease, const QString &debianVersion, const QString &kernelRelease);
    // The numbers of systemText(); each pointer may be null. False (and 0.0.0) when no version
    // could be read.
    static bool getSystemVersionMajor(unsigned *major, unsigned *minor, unsigned *bugFix);
    // Parses up to three numbers out of a version text ("12", "22.04", "6.1.0-18-amd64").
    static bool parseVersion(const QString &text, unsigned *major, unsigned *minor, unsigned *bugFix);
    // Where os-release and the Debian version file are read from (tests point them elsewhere).
    static void setOsReleasePath(const QString &path);
    static void setDebianVersionPath(const QString &path);
};
