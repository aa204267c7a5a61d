#pragma once

#include <QStringList>

#include <memory>

class KeyedArchiver;
class KeyedUnarchiver;

// An object that can live in a keyed archive. It names its class chain (most derived first, as
// the archive's "$classes" lists it), writes its values into the archiver and reads them back in
// the same order. Objects are created empty by the unarchiver's class table and then read their
// values, so that references back to an object still being read (cycles) resolve to it.
class KeyedArchiveObject
{
public:
    virtual ~KeyedArchiveObject() = default;

    virtual QStringList archiveClassNames() const = 0;
    virtual void encodeWithCoder(KeyedArchiver &coder) const = 0;
    // Reads the values written by encodeWithCoder; a value of the wrong kind or a missing one
    // marks the unarchiver as failed (the caller checks KeyedUnarchiver::failed()).
    virtual void initWithCoder(KeyedUnarchiver &coder) = 0;
};

using KeyedArchiveObjectPtr = std::shared_ptr<KeyedArchiveObject>;
