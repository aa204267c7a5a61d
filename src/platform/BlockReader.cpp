#include "BlockReader.h"

#include "Uninterrupted.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <stdio.h>
#include <unistd.h>

BlockReader::BlockReader(int fd, quint64 size) : m_fd(fd), m_size(size) {}

BlockReader::~BlockReader()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

quint64 BlockReader::read(void *into, quint64 n)
{
    const quint64 got = readAt(m_position, into, n);
    m_position += got;
    return got;
}

quint64 BlockReader::readAt(quint64 offset, void *into, quint64 n)
{
    char *out = static_cast<char *>(into);
    quint64 done = 0;
    while (done < n && offset + done < m_size) {
        const quint64 at = offset + done;
        const quint64 wanted = std::min(n - done, m_size - at);
        Block *block = blockHolding(at);
        if (!block && wanted >= quint64(kBlockSize)) {
            const quint64 got = readFile(at, out + done, wanted);
            done += got;
            if (got < wanted)
                break;
            continue;
        }
        if (!block && !(block = fill(at)))
            break;
        const quint64 k = std::min(wanted, block->start + block->length - at);
        std::memcpy(out + done, block->bytes.get() + (at - block->start), size_t(k));
        done += k;
    }
    return done;
}

bool BlockReader::seek(qint64 offset, int whence)
{
    quint64 base = 0;
    switch (whence) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = m_position; break;
    case SEEK_END: base = m_size; break;
    default: return false;
    }
    if (offset >= 0) {
        m_position = base + quint64(offset);
        return true;
    }
    const quint64 back = quint64(-(offset + 1)) + 1; // -offset, for the most negative offset too
    if (back > base)
        return false;
    m_position = base - back;
    return true;
}

BlockReader::Block *BlockReader::blockHolding(quint64 offset)
{
    for (Block &block : m_blocks) {
        if (block.length && offset >= block.start && offset - block.start < block.length) {
            block.used = ++m_uses;
            return &block;
        }
    }
    return nullptr;
}

BlockReader::Block *BlockReader::fill(quint64 offset)
{
    Block *block = &m_blocks.front();
    for (Block &candidate : m_blocks)
        if (candidate.used < block->used)
            block = &candidate;
    if (!block->bytes)
        block->bytes = std::make_unique<char[]>(size_t(kBlockSize));
    block->start = offset - offset % quint64(kBlockSize);
    block->length = readFile(block->start, block->bytes.get(), std::min(quint64(kBlockSize), m_size - block->start));
    block->used = ++m_uses;
    // A file cut shorter since it was opened ends sooner.
    return offset - block->start < block->length ? block : nullptr;
}

quint64 BlockReader::readFile(quint64 offset, char *into, quint64 n)
{
    quint64 got = 0;
    while (got < n) {
        const ssize_t k = Uninterrupted::call([&] { return ::pread(m_fd, into + got, size_t(n - got), off_t(offset + got)); });
        if (k < 0)
            m_error = errno;
        if (k <= 0)
            break;
        got += quint64(k);
    }
    return got;
}
