#pragma once

#include <QString>

#include <optional>

template <typename T> class Singleton;

// The running exam ID of question sets (1..9999, then 1 again), kept in ExamID.xml in the
// application folder as the last number handed out.
class XMLControl
{
public:
    static XMLControl *sharedXMLUI();

    QString filePath() const { return m_filePath; }

    // The next exam ID, already recorded as handed out. None when the file could not be read or
    // the number could not be recorded (the reason in *errorText): a number that is not on disk
    // would be handed out again.
    std::optional<int> getExamID(QString *errorText = nullptr);
    // Takes back a number that nothing kept (the save it was drawn for did not happen): while it is
    // still the last one handed out, the one before it is the last again; a later number handed
    // out since keeps it spent. False (the reason in *errorText) when the file could not be
    // read or written.
    bool giveBackExamID(int number, QString *errorText = nullptr);
    // Records number as the last one handed out (writing the file when it is missing).
    bool updateExamID(int number, QString *errorText = nullptr);
    // Writes the file as first created (ExamID "1").
    static bool createXmlFileAtPath(const QString &path, QString *errorText = nullptr);

private:
    friend class Singleton<XMLControl>;
    XMLControl();

    QString m_filePath;
};
