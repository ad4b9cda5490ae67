#pragma once

#include <objbase.h>

namespace winplat {

// COM for the calling thread for as long as the object lives. A thread that
// already has COM (Qt's GUI thread has it, single-threaded) keeps it as it is.
class ComApartment
{
public:
    ComApartment()
        : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))
    {
    }
    ~ComApartment()
    {
        if (SUCCEEDED(m_result))
            CoUninitialize();
    }
    ComApartment(const ComApartment &) = delete;
    ComApartment &operator=(const ComApartment &) = delete;

    bool usable() const { return SUCCEEDED(m_result) || m_result == RPC_E_CHANGED_MODE; }
    HRESULT result() const { return m_result; }

private:
    HRESULT m_result;
};

// Holds one reference to a COM interface and releases it.
template <class T>
class ComRef
{
public:
    ComRef() = default;
    ~ComRef()
    {
        if (m_ptr)
            m_ptr->Release();
    }
    ComRef(const ComRef &) = delete;
    ComRef &operator=(const ComRef &) = delete;

    // Where a call that hands out an interface puts it.
    void **put() { return reinterpret_cast<void **>(&m_ptr); }
    T *operator->() const { return m_ptr; }
    T *get() const { return m_ptr; }

private:
    T *m_ptr = nullptr;
};

} // namespace winplat
