#include "descriptor_stream.h"

#include <cerrno>
#include <unistd.h>

namespace cli {

DescriptorBuffer::DescriptorBuffer(int fd) : m_fd(fd), m_buffer(64 * 1024) {
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
}

DescriptorBuffer::~DescriptorBuffer() {
    drain();
}

bool DescriptorBuffer::drain() {
    const char *next = pbase();
    const char *end = pptr();
    m_drained += end - next;
    // What could not be written is dropped: the failure is what the program reports.
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
    if (m_error != 0)
        return false;
    while (next < end) {
        const ssize_t n = ::write(m_fd, next, static_cast<size_t>(end - next));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_error = n < 0 ? errno : EIO;
            return false;
        }
        next += n;
    }
    return true;
}

DescriptorBuffer::int_type DescriptorBuffer::overflow(int_type c) {
    if (!drain())
        return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int DescriptorBuffer::sync() {
    return drain() ? 0 : -1;
}

// Only the position can be asked (tellp); the descriptor is never sought.
DescriptorBuffer::pos_type DescriptorBuffer::seekoff(off_type off, std::ios_base::seekdir dir,
                                                     std::ios_base::openmode which) {
    if (off != 0 || dir != std::ios_base::cur || !(which & std::ios_base::out))
        return pos_type(off_type(-1));
    return pos_type(m_drained + (pptr() - pbase()));
}

} // namespace cli
