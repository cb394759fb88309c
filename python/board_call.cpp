#include "board_call.h"

#include "link/serial_transport.h"

namespace pellorin_py {

Interrupt::~Interrupt() {
    if (m_type == nullptr)
        return;
    // Not raised (the call threw before it could): dropped with the GIL held.
    pybind11::gil_scoped_acquire gil;
    Py_XDECREF(m_type);
    Py_XDECREF(m_value);
    Py_XDECREF(m_trace);
}

bool Interrupt::check() {
    if (caught())
        return true;
    if (m_stop)
        return false;
    const Clock::time_point now = Clock::now();
    if (now - m_last < kCheckInterval)
        return false;
    m_last = now;
    pybind11::gil_scoped_acquire gil;
    if (PyErr_CheckSignals() != 0)
        PyErr_Fetch(&m_type, &m_value, &m_trace);
    return caught();
}

int Interrupt::whileWaiting() {
    return check() ? kEndRead : static_cast<int>(kCheckInterval.count());
}

void Interrupt::raiseIfCaught() {
    if (m_type == nullptr)
        return;
    PyErr_Restore(m_type, m_value, m_trace);
    m_type = m_value = m_trace = nullptr;
    throw pybind11::error_already_set();
}

const QStringList &MessageGatherer::texts() {
    for (const platform::Message &message : m_held.take())
        m_texts << message.text;
    return m_texts;
}

void MessageGatherer::clear() {
    m_held.take();
    m_texts.clear();
}

QString MessageGatherer::text(const QString &fallback) {
    const QStringList &told = texts();
    return told.isEmpty() ? fallback : told.join(u'\n');
}

} // namespace pellorin_py
