#pragma once

// Stores the teacher "Mary Smith" and the subject "Science", under which a session is filed;
// true when both are in.
bool addTeacherAndSubject();
