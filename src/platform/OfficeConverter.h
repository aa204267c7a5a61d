#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

class QProcess;
class QTemporaryDir;

// Headless LibreOffice as a converter: a deck to PDF for the slide show, an old binary .ppt to
// .pptx on open. Each conversion runs with a profile of its own, so that several may run at
// once and none disturbs a LibreOffice the teacher has open.
class OfficeConverter : public QObject
{
    Q_OBJECT
public:
    explicit OfficeConverter(QObject *parent = nullptr);
    ~OfficeConverter() override;

    // The LibreOffice program: $POLLIX_SOFFICE when set, else soffice or libreoffice on PATH;
    // empty when there is none.
    static QString officeProgram();

    // Converts inputFile into outDir as format ("pdf", "pptx") and waits for it (on any thread);
    // outputFile receives the new file's path. LibreOffice that crashes or ends without the file
    // is started once more; errorText says why when the second start fails too.
    static bool convert(const QString &inputFile, const QString &outDir, const QString &format, QString *outputFile,
                        QString *errorText = nullptr, int timeoutMs = 120000);

    // The slide show's PDF of a deck, made in the background. Asking again for the same bytes
    // while a conversion runs or after it finished starts nothing new; finished() tells the
    // outcome of the latest request only.
    void renderPdf(const QByteArray &pptxBytes);
    bool isRendering() const;
    // The PDF of the latest finished request, while no newer one replaced it.
    QString pdfPath() const { return m_pdfPath; }
    QByteArray pdfKey() const { return m_doneKey; }
    static QByteArray keyOf(const QByteArray &pptxBytes);

signals:
    void finished(bool ok, const QString &pdfPath, const QString &errorText);

private:
    void startNext();
    // False, with the reason, when the start's folders cannot be made.
    bool startProcess(const QString &program, int attempt, QString *why);
    void conversionEnded();

    std::unique_ptr<QProcess> m_process;
    std::unique_ptr<QTemporaryDir> m_runningDir;
    std::unique_ptr<QTemporaryDir> m_doneDir;
    QByteArray m_runningKey;
    QByteArray m_doneKey;
    QByteArray m_pendingBytes;
    QByteArray m_pendingKey;
    QString m_pdfPath;
    QString m_output; // where the running start writes its PDF
    int m_attempt = 0;
};
