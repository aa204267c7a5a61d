#pragma once

// One page of a report: a run of the report's rows and, where a report has several heads (one
// per student), the head it stands under.
struct ReportPageSlice
{
    // Index of the head (the student, the owner of the rows); 0 for a report with one head.
    int owner = 0;
    // The page's rows: first .. first + count - 1 of the report's rows.
    int first = 0;
    int count = 0;
    // The owner's last page carries the signature block (reports that have one).
    bool hasSignature = false;

    bool operator==(const ReportPageSlice &) const = default;
};
