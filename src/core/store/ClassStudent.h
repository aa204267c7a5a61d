#pragma once

#include "RecordField.h"

// A student's place in a class, by class and student number. Kept as a record of the roster
// model; the class files name their students by ID.
class ClassStudent
{
    POLLIX_RECORD_FIELD(int, classNo, setClassNo, 0)
    POLLIX_RECORD_FIELD(int, studentNo, setStudentNo, 0)
};
