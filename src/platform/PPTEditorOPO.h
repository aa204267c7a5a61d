#pragma once

#include "PPTEditor.h"

// A presentation program that refuses to start or open anything.
class PPTEditorOPO : public PPTEditor
{
public:
    bool startPPT() override { return false; }
    bool openPPT(const QString &, QString *errorText = nullptr) override
    {
        if (errorText)
            *errorText = QStringLiteral("no presentation program");
        return false;
    }
    void quitPPT() override {}
};
