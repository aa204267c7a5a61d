#pragma once

#include <QString>

// Stores the teacher "Mary Smith" and the subject "Science", under which a session is filed;
// true when both are in.
bool addTeacherAndSubject();

// Those, and a class of that name whose students are "S001", "S002" ... (first names "Kid1" ...),
// as the simulated keypads log in; true when all are in.
bool addTeacherSubjectAndKeypadClass(const QString &className, int students);
