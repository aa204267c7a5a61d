#include "ZipWriteSink.h"

#include "platform/Uninterrupted.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

bool ZipWriteSink::open()
{
    m_fd = ::fcntl(m_source, F_DUPFD_CLOEXEC, 0);
    return m_fd >= 0;
}

bool ZipWriteSink::put(const char *data, quint64 size, quint64 at)
{
    for (quint64 done = 0; done < size;) {
        const ssize_t n = Uninterrupted::call([&] { return ::pwrite(m_fd, data + done, size_t(size - done), off_t(at + done)); });
        if (n <= 0) {
            m_error = n < 0 ? errno : ENOSPC;
            return false;
        }
        done += quint64(n);
    }
    return true;
}

bool ZipWriteSink::flush()
{
    const bool done = m_error == 0 && (m_held == 0 || put(m_buffer.data(), m_held, m_bufferAt));
    m_bufferAt += m_held;
    m_held = 0;
    return done;
}

quint64 ZipWriteSink::write(const void *data, quint64 size)
{
    // Outside what the buffer holds, past its room, or as large as the buffer (it goes straight
    // to the file, and what is held would otherwise land after it): what it holds goes first.
    if (m_error == 0 &&
        (size >= kBuffer || m_position < m_bufferAt || m_position > m_bufferAt + m_held || m_position - m_bufferAt + size > kBuffer) &&
        flush())
        m_bufferAt = m_position;
    if (m_error == 0 && size >= kBuffer && put(static_cast<const char *>(data), size, m_position)) {
        m_bufferAt = m_position + size;
    } else if (m_error == 0 && size < kBuffer) {
        std::memcpy(m_buffer.data() + (m_position - m_bufferAt), data, size_t(size));
        m_held = std::max(m_held, m_position - m_bufferAt + size);
    }
    if (m_error != 0) {
        errno = m_error;
        return 0;
    }
    m_position += size;
    m_end = std::max(m_end, m_position);
    return size;
}

quint64 ZipWriteSink::read(void *data, quint64 size)
{
    if (!flush())
        return 0;
    const ssize_t n = ::pread(m_fd, data, size_t(size), off_t(m_position));
    if (n < 0) {
        m_error = errno;
        return 0;
    }
    m_position += quint64(n);
    return quint64(n);
}

bool ZipWriteSink::readBack(quint64 at, char *into, quint64 size)
{
    if (m_error != 0 || at + size > m_end)
        return false;
    // Bytes still held are in the buffer only.
    if (m_held > 0 && at + size > m_bufferAt && at < m_bufferAt + m_held && !flush())
        return false;
    for (quint64 done = 0; done < size;) {
        const ssize_t n = Uninterrupted::call([&] { return ::pread(m_fd, into + done, size_t(size - done), off_t(at + done)); });
        if (n <= 0)
            return false;
        done += quint64(n);
    }
    return true;
}

int ZipWriteSink::close()
{
    if (m_fd < 0)
        return m_error == 0 ? 0 : -1;
    flush();
    if (::close(m_fd) != 0 && errno != EINTR && m_error == 0)
        m_error = errno;
    m_fd = -1;
    errno = m_error;
    return m_error == 0 ? 0 : -1;
}
