#include "ReportFramePolicy.h"

ReportFramePolicy ReportFramePolicy::viewerFrame()
{
    return {};
}

ReportFramePolicy ReportFramePolicy::windowFrame()
{
    ReportFramePolicy p;
    p.pdf = Pdf::AllPagesBackToFirst;
    p.csvHead = CsvHead::Session;
    return p;
}

ReportFramePolicy ReportFramePolicy::windowFrameBackToShown(CsvHead csvHead)
{
    ReportFramePolicy p = windowFrame();
    p.pdf = Pdf::AllPagesBackToShown;
    p.csvHead = csvHead;
    return p;
}

ReportFramePolicy ReportFramePolicy::dravelFrame()
{
    return windowFrameBackToShown(CsvHead::NoCsv);
}

ReportFramePolicy ReportFramePolicy::gradebookFrame()
{
    ReportFramePolicy p;
    p.head = Head::PerOwner;
    p.pdf = Pdf::AllPagesBackToShown;
    p.csvHead = CsvHead::Gradebook;
    return p;
}
