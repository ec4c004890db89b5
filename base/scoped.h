// Owners of Windows resources: each releases what it holds when it goes out
// of scope, and none can be copied.
#pragma once
#include <windows.h>

// A LocalAlloc block (zero-filled when allocated here).
template <typename T>
class LocalBlock {
public:
    LocalBlock() = default;
    explicit LocalBlock(SIZE_T bytes) : block_(static_cast<T*>(LocalAlloc(LPTR, bytes))) {}
    explicit LocalBlock(T* adopted) : block_(adopted) {}
    ~LocalBlock() { Reset(); }
    LocalBlock(const LocalBlock&) = delete;
    LocalBlock& operator=(const LocalBlock&) = delete;
    T* get() const { return block_; }
    T* Release() {
        T* block = block_;
        block_ = nullptr;
        return block;
    }
    void Reset(T* block = nullptr) {
        if (block_) LocalFree(block_);
        block_ = block;
    }

private:
    T* block_ = nullptr;
};

// An open registry key.
class ScopedRegKey {
public:
    ScopedRegKey() = default;
    ~ScopedRegKey() {
        if (key_) RegCloseKey(key_);
    }
    ScopedRegKey(const ScopedRegKey&) = delete;
    ScopedRegKey& operator=(const ScopedRegKey&) = delete;
    LONG Open(HKEY root, LPCSTR path, REGSAM access) { return RegOpenKeyExA(root, path, 0, access, &key_); }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// A kernel handle (null and INVALID_HANDLE_VALUE hold nothing).
class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE handle = nullptr) : handle_(handle) {}
    ~ScopedHandle() {
        if (handle_ && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    HANDLE get() const { return handle_; }
    HANDLE Release() {
        HANDLE handle = handle_;
        handle_ = nullptr;
        return handle;
    }

private:
    HANDLE handle_;
};

// A directory search of FindFirstFile, closed with FindClose.
class ScopedFind {
public:
    explicit ScopedFind(HANDLE find) : find_(find) {}
    ~ScopedFind() {
        if (find_ != INVALID_HANDLE_VALUE) FindClose(find_);
    }
    ScopedFind(const ScopedFind&) = delete;
    ScopedFind& operator=(const ScopedFind&) = delete;
    HANDLE get() const { return find_; }

private:
    HANDLE find_;
};

// A GlobalAlloc block (zero-filled), freed with GlobalFree.
class GlobalBlock {
public:
    explicit GlobalBlock(SIZE_T size) : block_(GlobalAlloc(GPTR, size)) {}
    ~GlobalBlock() {
        if (block_) GlobalFree(block_);
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;
    char* get() const { return static_cast<char*>(block_); }

private:
    HGLOBAL block_;
};

// A window's DC from GetDC, released with ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(window ? GetDC(window) : nullptr) {}
    ~WindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// A memory DC, deleted with DeleteDC.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatible) : dc_(CreateCompatibleDC(compatible)) {}
    ~MemoryDC() {
        if (dc_) DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// A GDI object (bitmap, brush, font), deleted with DeleteObject.
template <typename T>
class GdiObject {
public:
    explicit GdiObject(T object) : object_(object) {}
    ~GdiObject() {
        if (object_) DeleteObject(object_);
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    T get() const { return object_; }

private:
    T object_;
};

// Selects an object into a DC and puts the previous one back. Declare it after
// the object it selects, so the object is deselected before it is deleted.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~Selection() {
        if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    bool ok() const { return previous_ != nullptr && previous_ != HGDI_ERROR; }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// An icon loaded with LoadImageA (not shared), destroyed with DestroyIcon.
class LoadedIcon {
public:
    explicit LoadedIcon(HICON icon) : icon_(icon) {}
    ~LoadedIcon() {
        if (icon_) DestroyIcon(icon_);
    }
    LoadedIcon(const LoadedIcon&) = delete;
    LoadedIcon& operator=(const LoadedIcon&) = delete;
    HICON get() const { return icon_; }

private:
    HICON icon_;
};
