#pragma once
// A scoped HDF5 handle: closed by its own close function when it goes, movable, never copied.
// For the capture's HDF5 writer and reader only (it brings the HDF5 C header).

#include <hdf5.h>

namespace capture {

class Hid {
  public:
    Hid(hid_t id, herr_t (*close)(hid_t)) : m_id(id), m_close(close) {}
    ~Hid() {
        if (m_id >= 0)
            m_close(m_id);
    }
    Hid(const Hid &) = delete;
    Hid &operator=(const Hid &) = delete;
    Hid(Hid &&other) noexcept : m_id(other.m_id), m_close(other.m_close) { other.m_id = -1; }
    operator hid_t() const { return m_id; }
    bool ok() const { return m_id >= 0; }

  private:
    hid_t m_id;
    herr_t (*m_close)(hid_t);
};

} // namespace capture
