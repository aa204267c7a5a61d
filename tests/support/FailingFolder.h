#pragma once

#include <QString>

#include <atomic>
#include <memory>

// A folder whose looks at the names in it answer with an error, as a share whose program died
// ("Transport endpoint is not connected"), a disk pulled out (an input/output error) or a folder
// made unsearchable ("Permission denied") answers. As an ordinary user the folder is made
// unsearchable for real (read and write, no search); root, whom no permission binds, gets the
// error put into the looks (RecordFile's test hook) instead. A search that takes the error for an
// answer would ask for ever: past kMostLooks looks the names are said to be free, so that such a
// search ends (with more looks than any sound one makes) and its test fails instead of hanging.
class FailingFolder
{
public:
    static constexpr int kMostLooks = 100;

    // folder is made first where missing; error is what root's looks get (an errno value).
    FailingFolder(const QString &folder, int error);
    ~FailingFolder();
    FailingFolder(const FailingFolder &) = delete;
    FailingFolder &operator=(const FailingFolder &) = delete;

    // The error the looks meet, in the system's words ("Permission denied" for an ordinary user).
    QString reason() const;
    // Looks at names in the folder so far.
    int looks() const { return m_looks->load(); }
    // The folder answers again, as before.
    void answerAgain();

private:
    QString m_folder;
    int m_error = 0;
    bool m_madeUnsearchable = false;
    std::shared_ptr<std::atomic<int>> m_looks = std::make_shared<std::atomic<int>>(0);
};
