#include "OfficeConverter.h"

#include "ContentHash.h"
#include "Log.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <optional>

namespace {

// LibreOffice on a fresh profile sometimes crashes or quits at once on a machine's first start;
// a second start nearly always works. A second failure is the file's or the program's.
constexpr int kAttempts = 2;

QStringList conversionArguments(const QString &profileDir, const QString &format, const QString &outDir, const QString &input)
{
    return {QStringLiteral("--headless"),
            QStringLiteral("--norestore"),
            QStringLiteral("--nologo"),
            QStringLiteral("--nodefault"),
            QStringLiteral("--nolockcheck"),
            QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profileDir).toString(),
            QStringLiteral("--convert-to"),
            format,
            QStringLiteral("--outdir"),
            outDir,
            input};
}

QString expectedOutput(const QString &input, const QString &outDir, const QString &format)
{
    return QDir(outDir).filePath(QFileInfo(input).completeBaseName() + QLatin1Char('.') + format);
}

QString noOfficeText()
{
    return QStringLiteral("LibreOffice is not installed (Debian package libreoffice-impress-nogui)");
}

// The last lines LibreOffice wrote, enough to say why without flooding an alert.
QString tailOf(QProcess &process)
{
    return QString::fromLocal8Bit(process.readAll()).trimmed().right(300);
}

// Why a conversion that ran made no file, in the teacher's words, with what LibreOffice said.
QString endedWithoutOutput(QProcess::ExitStatus status, int exitCode, const QString &said)
{
    QString why = status == QProcess::CrashExit
                      ? QStringLiteral("LibreOffice ended abnormally")
                      : QStringLiteral("LibreOffice ended without converting the file (exit status %1)").arg(exitCode);
    if (!said.isEmpty())
        why += QStringLiteral(": ") + said;
    return why;
}

bool hasOutput(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.size() > 0;
}

// ---- Work folders ----
// LibreOffice reads and writes only by name: what it is handed (a deck, a profile of its own) and
// what it writes lie in a work folder of the converter's, made new under the temporary folder and
// gone with everything in it once the work is done. These two functions are the only ones here
// that make or write a file by its name.

// A new work folder, holding bytes under name when name is given.
std::unique_ptr<QTemporaryDir> newWorkFolder(const QString &name, const QByteArray &bytes, QString *why)
{
    auto work = std::make_unique<QTemporaryDir>();
    if (!work->isValid()) {
        *why = QStringLiteral("no temporary folder can be made: %1").arg(work->errorString());
        return nullptr;
    }
    if (!name.isEmpty()) {
        QFile f(work->filePath(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.flush()) {
            *why = QStringLiteral("%1 cannot be written to a temporary folder: %2").arg(name, f.errorString());
            return nullptr;
        }
    }
    return work;
}

// A folder of its own in a work folder for one start of LibreOffice, with a fresh profile in it
// (the one a crashed start left behind may be what crashes it); what the start writes there is
// its own, never what a crashed start before it left half written.
struct Attempt
{
    QString folder;
    QString profile;
};

std::optional<Attempt> newAttempt(const QTemporaryDir &work, int attempt, QString *why)
{
    const QString name = QStringLiteral("start%1").arg(attempt);
    const Attempt out{work.filePath(name), work.filePath(name + QStringLiteral("/profile"))};
    if (!QDir(work.path()).mkdir(name) || !QDir(out.folder).mkdir(QStringLiteral("profile"))) {
        *why = QStringLiteral("no folder can be made in the temporary folder %1").arg(work.path());
        return std::nullopt;
    }
    return out;
}

} // namespace

OfficeConverter::OfficeConverter(QObject *parent) : QObject(parent) {}

OfficeConverter::~OfficeConverter()
{
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->disconnect(this);
        m_process->kill();
        m_process->waitForFinished(5000);
    }
}

QString OfficeConverter::officeProgram()
{
    const QString forced = qEnvironmentVariable("POLLIX_SOFFICE");
    if (!forced.isEmpty())
        return QFileInfo(forced).isExecutable() ? forced : QString();
    for (const char *name : {"soffice", "libreoffice"}) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

bool OfficeConverter::convert(const QString &inputFile, const QString &outDir, const QString &format, QString *outputFile,
                              QString *errorText, int timeoutMs)
{
    auto fail = [&](const QString &why) {
        if (errorText)
            *errorText = why;
        PollixLog(QStringLiteral("Converting %1 to %2 failed: %3").arg(inputFile, format, why));
        return false;
    };
    const QString program = officeProgram();
    if (program.isEmpty())
        return fail(noOfficeText());
    QString why;
    const auto work = newWorkFolder(QString(), QByteArray(), &why);
    if (!work)
        return fail(why);
    const QString output = expectedOutput(inputFile, outDir, format);
    for (int attempt = 1;; ++attempt) {
        const std::optional<Attempt> folders = newAttempt(*work, attempt, &why);
        if (!folders)
            return fail(why);
        // The output is LibreOffice's where the caller wants it: a file there already, or one a
        // start before left, is told from this start's by its stamp, never removed.
        const std::optional<ContentHash::Stamp> before = ContentHash::stampOf(output);
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, conversionArguments(folders->profile, format, outDir, inputFile));
        if (!process.waitForStarted(10000))
            return fail(process.errorString());
        if (!process.waitForFinished(timeoutMs)) {
            process.kill();
            process.waitForFinished(5000);
            return fail(QStringLiteral("LibreOffice did not finish in time"));
        }
        if (hasOutput(output) && ContentHash::stampOf(output) != before) {
            if (outputFile)
                *outputFile = output;
            return true;
        }
        const QString ended = endedWithoutOutput(process.exitStatus(), process.exitCode(), tailOf(process));
        if (attempt >= kAttempts)
            return fail(QStringLiteral("%1 (tried twice)").arg(ended));
        PollixLog(QStringLiteral("Converting %1 to %2: %3; trying once more").arg(inputFile, format, ended));
    }
}

QByteArray OfficeConverter::keyOf(const QByteArray &pptxBytes)
{
    return QCryptographicHash::hash(pptxBytes, QCryptographicHash::Sha1);
}

bool OfficeConverter::isRendering() const
{
    return m_process && m_process->state() != QProcess::NotRunning;
}

void OfficeConverter::renderPdf(const QByteArray &pptxBytes)
{
    const QByteArray key = keyOf(pptxBytes);
    if ((key == m_doneKey && QFileInfo::exists(m_pdfPath)) || (isRendering() && key == m_runningKey))
        return;
    m_pendingBytes = pptxBytes;
    m_pendingKey = key;
    if (!isRendering())
        startNext();
}

void OfficeConverter::startNext()
{
    if (m_pendingKey.isEmpty())
        return;
    const QByteArray bytes = std::exchange(m_pendingBytes, QByteArray());
    m_runningKey = std::exchange(m_pendingKey, QByteArray());
    const QString program = officeProgram();
    auto failNow = [this](const QString &why) {
        PollixLog(QStringLiteral("The slide show cannot be prepared: %1").arg(why));
        m_runningKey.clear();
        m_runningDir.reset();
        emit finished(false, QString(), why);
    };
    if (program.isEmpty())
        return failNow(noOfficeText());
    QString why;
    m_runningDir = newWorkFolder(QStringLiteral("slides.pptx"), bytes, &why);
    if (!m_runningDir || !startProcess(program, 1, &why))
        return failNow(why);
}

bool OfficeConverter::startProcess(const QString &program, int attempt, QString *why)
{
    const std::optional<Attempt> folders = newAttempt(*m_runningDir, attempt, why);
    if (!folders)
        return false;
    m_attempt = attempt;
    m_output = folders->folder;
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    connect(m_process.get(), &QProcess::finished, this, &OfficeConverter::conversionEnded);
    connect(m_process.get(), &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            conversionEnded();
    });
    m_process->start(program, conversionArguments(folders->profile, QStringLiteral("pdf"), m_output,
                                                  m_runningDir->filePath(QStringLiteral("slides.pptx"))));
    return true;
}

void OfficeConverter::conversionEnded()
{
    const QString pdf = m_runningDir && !m_output.isEmpty() ? QDir(m_output).filePath(QStringLiteral("slides.pdf")) : QString();
    const bool ok = !pdf.isEmpty() && hasOutput(pdf);
    const bool started = m_process && m_process->error() != QProcess::FailedToStart;
    QString why;
    if (!ok && m_process)
        why = started ? endedWithoutOutput(m_process->exitStatus(), m_process->exitCode(), tailOf(*m_process))
                      : QStringLiteral("LibreOffice could not be started: %1").arg(m_process->errorString());
    const QString program = m_process ? m_process->program() : QString();
    if (m_process) {
        m_process->disconnect(this);
        m_process.release()->deleteLater();
    }
    // A newer deck waiting makes this one's second try pointless.
    if (!ok && started && m_pendingKey.isEmpty() && m_attempt < kAttempts) {
        PollixLog(QStringLiteral("Preparing the slide show: %1; trying once more").arg(why));
        if (startProcess(program, m_attempt + 1, &why))
            return;
    }
    const QByteArray key = std::exchange(m_runningKey, QByteArray());
    if (ok) {
        m_doneDir = std::move(m_runningDir);
        m_doneKey = key;
        m_pdfPath = pdf;
    } else {
        m_runningDir.reset();
    }
    if (!ok && m_attempt > 1)
        why = QStringLiteral("%1 (tried twice)").arg(why);
    if (!ok)
        PollixLog(QStringLiteral("The slide show cannot be prepared: %1").arg(why));
    emit finished(ok, ok ? pdf : QString(), why);
    startNext();
}
