#pragma once

// A field of a plain record: `name()` reads it, `name()` on a non-const record gives it for
// in-place changes (lists are filled that way), `setName(v)` replaces it. Records hold values only.
#define POLLIX_RECORD_FIELD(Type, name, Setter, ...)                                                               \
public:                                                                                                            \
    const Type &name() const { return m_##name; }                                                                  \
    Type &name() { return m_##name; }                                                                              \
    void Setter(const Type &value) { m_##name = value; }                                                           \
                                                                                                                   \
private:                                                                                                           \
    Type m_##name{__VA_ARGS__};                                                                                    \
                                                                                                                   \
public:
