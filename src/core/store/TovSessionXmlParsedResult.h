#pragma once

#include "QuizSummary.h"

// One entry of the fast session index: the header of one session file, the file's path (the
// entry's key) and its folder (flag 1 the session folder, 2 the points-only folder).
class TovSessionXmlParsedResult : public QuizSummary
{
    POLLIX_RECORD_FIELD(int, flag, setFlag, 1)
    POLLIX_RECORD_FIELD(QString, filePath, setFilePath, QStringLiteral(""))
    POLLIX_RECORD_FIELD(bool, bParsed, setBParsed, false)
    // Why the file's header cannot be read (it cannot be opened, is no session file, or ends
    // before its header does); empty when it can.
    POLLIX_RECORD_FIELD(QString, damage, setDamage, QStringLiteral(""))

public:
    // Reads the header of the file at path into this entry (filePath and flag stay as the caller
    // set them). Only the root's direct children are header fields, each taken from its first
    // occurrence; the scan stops at the first element that holds elements. The entry is a
    // points-only header when the element after "TotalMark" is "StartTime". A file that cannot
    // be opened leaves the defaults; the result says whether it could. damage() says what keeps
    // the header from being read.
    bool parseXMLFile(const QString &path);
};
