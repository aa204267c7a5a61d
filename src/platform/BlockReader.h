#pragma once

#include <QtGlobal>

#include <array>
#include <memory>

// A file read through a descriptor at a position of the reader's own, a block at a time: a
// reader that asks for a few bytes at once (a zip library reads the fields of its headers byte by
// byte) costs one read of the file per block, not one per field. Blocks lie at multiples of their
// size and a few are kept, so that reading that goes back and forth between a few places (an
// archive's directory, and the entries it lists) finds each place's block still there. A read of
// a block or more goes straight to the file. Nothing at or past the size given is read: the file
// is as large as it was found when it was opened and checked, whatever it grows to since.
class BlockReader
{
public:
    static constexpr qsizetype kBlockSize = 16 * 1024;
    static constexpr int kBlocks = 4;

    // Reads fd, which it closes when it goes, up to size bytes.
    BlockReader(int fd, quint64 size);
    ~BlockReader();
    BlockReader(const BlockReader &) = delete;
    BlockReader &operator=(const BlockReader &) = delete;

    // Up to n bytes from the position on, which moves past those given; fewer at the end of the
    // file, or when the file cannot be read (error() tells why).
    quint64 read(void *into, quint64 n);
    // Up to n bytes from offset on; the position stays where it is.
    quint64 readAt(quint64 offset, void *into, quint64 n);
    // Sets the position as lseek does: from the start, from the position or from the size
    // (offset may be negative). False, and the position unchanged, for one before the start.
    bool seek(qint64 offset, int whence);
    quint64 position() const { return m_position; }
    quint64 size() const { return m_size; }
    // The system's error of the last read that failed, 0 when none did.
    int error() const { return m_error; }

private:
    struct Block
    {
        std::unique_ptr<char[]> bytes;
        quint64 start = 0;
        quint64 length = 0; // 0: holds nothing
        quint64 used = 0;   // when it was last used, to give the least recent up first
    };
    Block *blockHolding(quint64 offset);
    Block *fill(quint64 offset);
    quint64 readFile(quint64 offset, char *into, quint64 n);

    int m_fd;
    quint64 m_size;
    quint64 m_position = 0;
    int m_error = 0;
    quint64 m_uses = 0;
    std::array<Block, kBlocks> m_blocks;
};
