#pragma once
// Standard output as pellorin-cli writes it: a stream buffer on a file descriptor that keeps
// the system's reason when a write fails ("No space left on device"), which std::cout cannot
// tell. A failed write sets the stream's badbit, as it would on std::cout. tellp() gives the
// bytes put so far, so the program can tell whether it printed anything.

#include <streambuf>
#include <vector>

namespace cli {

class DescriptorBuffer : public std::streambuf {
  public:
    explicit DescriptorBuffer(int fd);
    ~DescriptorBuffer() override;
    DescriptorBuffer(const DescriptorBuffer &) = delete;
    DescriptorBuffer &operator=(const DescriptorBuffer &) = delete;

    // errno of the first write that failed; 0 while everything went out.
    int error() const { return m_error; }

  protected:
    int_type overflow(int_type c) override;
    int sync() override;
    pos_type seekoff(off_type off, std::ios_base::seekdir dir,
                     std::ios_base::openmode which) override;

  private:
    bool drain();

    int m_fd;
    int m_error = 0;
    off_type m_drained = 0; // bytes handed to drain(), written or not
    std::vector<char> m_buffer;
};

} // namespace cli
