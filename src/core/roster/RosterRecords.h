#pragma once

#include "core/store/StudentEntity.h"
#include "core/store/StudentInClass.h"

// Students as the stores hand them out (StudentEntity) and as the roster windows show them
// (StudentInClass), one into the other with every field; the full name is first and last name
// joined as everywhere.
class RosterRecords
{
public:
    static StudentInClass studentInClass(const StudentEntity &record);
    static StudentEntity studentEntity(const StudentInClass &student);
};
