#pragma once

#include <QtGlobal>

#include <vector>

// The archive being written, as minizip's stream: a duplicate of a descriptor the caller opened in
// a folder held open, so that the archive goes to that very file, whatever is put under its name
// meanwhile. minizip writes each field of a header with a call of its own (2 or 4 bytes), and goes
// back to put an entry's sizes into its header once the entry is written: the archive's end is
// held in a buffer that takes all of that, and goes to the file in large writes at its own place
// (pwrite), so that going back into it costs no call at all. The first failure stays, with the
// system's reason, and fails every write after it, also the last one as the archive is closed.
class ZipWriteSink
{
public:
    // Large enough for many entries' headers and data, small beside the data files read.
    static constexpr quint64 kBuffer = 256 * 1024;

    // A stream into the file open as source (the caller's, which stays open), end bytes long now.
    ZipWriteSink(int source, quint64 end) : m_source(source), m_end(end) {}
    ZipWriteSink(const ZipWriteSink &) = delete;
    ZipWriteSink &operator=(const ZipWriteSink &) = delete;
    ~ZipWriteSink() { close(); }

    // Opens the stream, written through a duplicate of source: false, with errno, when none can
    // be made.
    bool open();
    // size bytes at the position, which moves past them; 0 once anything failed (errno says why).
    quint64 write(const void *data, quint64 size);
    // Up to size bytes of the file from the position on (what is held goes to the file first).
    quint64 read(void *data, quint64 size);
    // Sets the position; a write there or past the end goes there.
    void seek(quint64 at) { m_position = at; }
    // size bytes of the archive written so far, from at on, into into; the position stays. False
    // when they cannot be read (or are not all written yet); a failure here fails no write.
    bool readBack(quint64 at, char *into, quint64 size);
    // What is held goes to the file, and the stream is closed; -1, with errno, when anything failed.
    int close();

    quint64 position() const { return m_position; }
    quint64 end() const { return m_end; }
    // The first failure's errno, 0 while none.
    int error() const { return m_error; }

private:
    // size bytes at at, whole; false with the error noted.
    bool put(const char *data, quint64 size, quint64 at);
    bool flush();

    int m_source = -1;
    int m_fd = -1;          // the stream: a duplicate of source
    int m_error = 0;
    quint64 m_position = 0; // where minizip writes next
    quint64 m_end = 0;      // the archive's length so far
    quint64 m_bufferAt = 0; // where the buffer's first byte belongs
    quint64 m_held = 0;     // bytes in the buffer
    std::vector<char> m_buffer = std::vector<char>(kBuffer);
};
