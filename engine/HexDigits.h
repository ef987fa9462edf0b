#pragma once

#include <cstddef>

// Takes the hex digits of a text's bytes a piece at a time, so that a long text's digits are
// never held whole.
class HexSink {
public:
    virtual void OnDigits(const char* digits, size_t length) = 0;

protected:
    ~HexSink() = default;
};

// Writes bytes as two lowercase hex digits each into a sink, through a small buffer. Flush hands
// on what is left.
class HexWriter {
public:
    explicit HexWriter(HexSink& sink) : m_sink(sink) {}
    HexWriter(const HexWriter&) = delete;
    HexWriter& operator=(const HexWriter&) = delete;

    void Put(unsigned byte)
    {
        const char kDigits[] = "0123456789abcdef";
        if (m_used + 2 > sizeof m_digits) {
            Flush();
        }
        m_digits[m_used++] = kDigits[(byte >> 4) & 0xF];
        m_digits[m_used++] = kDigits[byte & 0xF];
    }
    void Flush()
    {
        if (m_used > 0) {
            m_sink.OnDigits(m_digits, m_used);
            m_used = 0;
        }
    }

private:
    HexSink& m_sink;
    char m_digits[512];
    size_t m_used = 0;
};
