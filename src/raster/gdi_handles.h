// Ownership helpers over the raster API: objects deleted on scope exit, selections undone.
#pragma once

#include <utility>

#include "kelvane/gdi.h"

namespace kelvane::gdi {

// Owns a pen, brush, bitmap or other object and deletes it when it goes out of scope.
template <class Handle>
class Owned {
public:
    Owned() = default;
    explicit Owned(Handle h) : m_handle(h) {}
    ~Owned() { reset(); }
    Owned(Owned&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) {
            reset();
            m_handle = std::exchange(other.m_handle, nullptr);
        }
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    Handle get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    Handle release() { return std::exchange(m_handle, nullptr); }
    void reset(Handle h = nullptr) {
        if (m_handle) DeleteObject(m_handle);
        m_handle = h;
    }

private:
    Handle m_handle = nullptr;
};

// Owns a memory device context.
class OwnedDC {
public:
    OwnedDC() = default;
    explicit OwnedDC(HDC dc) : m_dc(dc) {}
    ~OwnedDC() { reset(); }
    OwnedDC(OwnedDC&& other) noexcept : m_dc(std::exchange(other.m_dc, nullptr)) {}
    OwnedDC& operator=(OwnedDC&& other) noexcept {
        if (this != &other) {
            reset();
            m_dc = std::exchange(other.m_dc, nullptr);
        }
        return *this;
    }
    OwnedDC(const OwnedDC&) = delete;
    OwnedDC& operator=(const OwnedDC&) = delete;

    HDC get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }
    void reset(HDC dc = nullptr) {
        if (m_dc) DeleteDC(m_dc);
        m_dc = dc;
    }

private:
    HDC m_dc = nullptr;
};

// Selects an object into a context and selects the displaced one back on scope exit.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~Selection() {
        if (m_dc && m_previous) SelectObject(m_dc, m_previous);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

}  // namespace kelvane::gdi
