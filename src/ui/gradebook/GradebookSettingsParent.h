#pragma once

// What the gradebook settings window tells the Report window after each save, so that the
// Report window's lists follow the stores.
class GradebookSettingsParent
{
public:
    virtual ~GradebookSettingsParent() = default;

    virtual void refreshPeriod2() = 0;
    virtual void refreshWeight2() = 0;
    virtual void refreshConversion2() = 0;
    // The session types changed: the session list's type filter offers them again, "All" chosen.
    virtual void refreshSessionTypes() = 0;
};
