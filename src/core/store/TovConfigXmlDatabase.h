#pragma once

#include "AudioConfigEntity.h"

#include <QList>
#include <QString>

#include <optional>

template <typename T> class Singleton;

// The machine-wide settings in config.xml in the application folder: the three event sounds
// ("Enter Activity", "Start Answer", "Stop Answer"), the keypad mouse's speed and whether question
// texts are sent to the keypads. Creating the store loads the file, writing the defaults first
// when there is none. Every update reports whether the file was written (and why not in
// *errorText); the value in memory changes only when it was.
class TovConfigXmlDatabase
{
public:
    static TovConfigXmlDatabase *sharedConfigUI();

    const QList<AudioConfigEntity> &audioList() const { return m_audioList; }
    QString filePath() const { return m_filePath; }

    // The first sound whose name equals name ignoring case.
    std::optional<AudioConfigEntity> musicByName(const QString &name) const;
    // Sets the path and state of the sound named exactly like music (one of the three names);
    // true when the file was written (the store then reloads it).
    bool updateMusic(const AudioConfigEntity &music, QString *errorText = nullptr);

    int getMouseValue() const { return m_mouseSettionValue; }
    bool updateMouseSettionValue(int value, QString *errorText = nullptr);
    // Non-zero: question texts are sent to the keypads during a run.
    int getSendQuestionState() const { return m_sendQuestionState; }
    bool updateSendQuestionState(int state, QString *errorText = nullptr);

    void loadConfig();
    // Writes the default file at path.
    bool createXmlFileAtPath(const QString &path) const;

private:
    friend class Singleton<TovConfigXmlDatabase>;
    TovConfigXmlDatabase();

    bool updateNumber(const char *tag, int value, int &field, QString *errorText);

    QList<AudioConfigEntity> m_audioList;
    QString m_filePath;
    int m_sendQuestionState = 0;
    int m_mouseSettionValue = 0;
};
