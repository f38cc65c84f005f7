#pragma once

#include <cstddef>
#include <cstdint>

namespace vokrin::crashreport {

// Text built into storage the caller owns, with no allocation, no locale and no libc
// formatting, so the fatal-signal path can compose a report with it. Text that does not
// fit is cut and the buffer remembers that it was.
class SafeBuffer
{
public:
    SafeBuffer(char *storage, std::size_t capacity) : m_data(storage), m_capacity(capacity)
    {
        if (m_capacity > 0)
            m_data[0] = '\0';
    }

    void append(const char *text, std::size_t length)
    {
        for (std::size_t i = 0; i < length; ++i)
            put(text[i]);
        terminate();
    }
    void append(const char *text)
    {
        if (text == nullptr)
            return;
        while (*text != '\0')
            put(*text++);
        terminate();
    }
    void appendChar(char c, std::size_t count = 1)
    {
        for (std::size_t i = 0; i < count; ++i)
            put(c);
        terminate();
    }
    void appendDecimal(std::uint64_t value, int minDigits = 1)
    {
        char digits[24];
        int n = 0;
        do {
            digits[n++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0 && n < 24);
        for (int i = n; i < minDigits; ++i)
            put('0');
        while (n > 0)
            put(digits[--n]);
        terminate();
    }
    void appendSigned(std::int64_t value)
    {
        if (value < 0) {
            put('-');
            appendDecimal(static_cast<std::uint64_t>(-(value + 1)) + 1);
        } else {
            appendDecimal(static_cast<std::uint64_t>(value));
        }
    }
    // Lower-case hexadecimal with at least `minDigits` digits and no prefix.
    void appendHex(std::uint64_t value, int minDigits = 1)
    {
        static const char hex[] = "0123456789abcdef";
        char digits[16];
        int n = 0;
        do {
            digits[n++] = hex[value & 0xf];
            value >>= 4;
        } while (value != 0 && n < 16);
        for (int i = n; i < minDigits; ++i)
            put('0');
        while (n > 0)
            put(digits[--n]);
        terminate();
    }
    // The text followed by blanks up to `width` characters.
    void appendPadded(const char *text, std::size_t width)
    {
        const std::size_t before = m_size;
        append(text);
        const std::size_t written = m_size - before;
        if (written < width)
            appendChar(' ', width - written);
    }
    void newLine() { append("\r\n", 2); }

    const char *data() const { return m_data; }
    std::size_t size() const { return m_size; }
    bool truncated() const { return m_truncated; }
    void clear()
    {
        m_size = 0;
        m_truncated = false;
        terminate();
    }

private:
    void put(char c)
    {
        // One byte stays free for the terminating zero.
        if (m_size + 1 < m_capacity)
            m_data[m_size++] = c;
        else
            m_truncated = true;
    }
    void terminate()
    {
        if (m_capacity > 0)
            m_data[m_size] = '\0';
    }

    char *m_data;
    std::size_t m_capacity;
    std::size_t m_size = 0;
    bool m_truncated = false;
};

template <std::size_t N> class FixedBuffer : public SafeBuffer
{
public:
    FixedBuffer() : SafeBuffer(m_storage, N) {}
    FixedBuffer(const FixedBuffer &) = delete;
    FixedBuffer &operator=(const FixedBuffer &) = delete;

private:
    char m_storage[N];
};

// Length of a zero-terminated string, for code that must not call libc.
inline std::size_t safeLength(const char *text)
{
    std::size_t n = 0;
    while (text != nullptr && text[n] != '\0')
        ++n;
    return n;
}

// Copies `text` into `target` (capacity bytes, always zero-terminated).
inline void safeCopy(char *target, std::size_t capacity, const char *text)
{
    if (capacity == 0)
        return;
    std::size_t i = 0;
    while (text != nullptr && text[i] != '\0' && i + 1 < capacity) {
        target[i] = text[i];
        ++i;
    }
    target[i] = '\0';
}

} // namespace vokrin::crashreport
