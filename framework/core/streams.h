#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/core/object.h"

namespace pogoda {

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

// A seekable sequence of bytes with a size and a position.
class TStream : public TObject {
    POGODA_CLASS_NAME(TStream)
public:
    // Reads or writes up to count bytes; returns how many moved.
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t position) { Seek(position, soBeginning); }
    virtual int64_t Size();
    virtual void SetSize(int64_t size) = 0;

    // Exactly count bytes or EReadError "Stream read error" / EWriteError "Stream write error".
    void ReadBuffer(void* buffer, int64_t count);
    void WriteBuffer(const void* buffer, int64_t count);
    // Copies count bytes from source (the whole source from its start when count is 0).
    int64_t CopyFrom(TStream& source, int64_t count);
};

// A growable block of memory. Growth is geometric, so writing byte by byte stays linear.
class TMemoryStream : public TStream {
    POGODA_CLASS_NAME(TMemoryStream)
public:
    TMemoryStream() = default;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return m_size; }
    void SetSize(int64_t size) override;

    // Reserves room for capacity bytes without changing the size.
    void SetCapacity(int64_t capacity);
    int64_t Capacity() const { return m_capacity; }
    uint8_t* Memory() { return m_data.get(); }
    const uint8_t* Memory() const { return m_data.get(); }
    void Clear();

    void LoadFromStream(TStream& source);
    void SaveToStream(TStream& dest) const;
    void LoadFromFile(const std::string& path);
    void SaveToFile(const std::string& path) const;

private:
    struct FreeDeleter {
        void operator()(uint8_t* p) const;
    };
    // Raw, uninitialised memory: a large body is written once, never zero-filled first.
    std::unique_ptr<uint8_t, FreeDeleter> m_data;
    int64_t m_capacity = 0;
    int64_t m_size = 0;
    int64_t m_position = 0;
};

// Open modes and share modes, combined with "|".
enum : unsigned {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareExclusive = 0x0010,
    fmShareDenyWrite = 0x0020,
    fmShareDenyRead = 0x0030,
    fmShareDenyNone = 0x0040,
    fmCreate = 0xFFFF,
};

// A file opened for reading or writing. Failing to open raises EFOpenError
// "Cannot open file "%s". %s" (fmCreate: EFCreateError "Cannot create file "%s". %s"),
// the second %s being the system's error text.
class TFileStream : public TStream {
    POGODA_CLASS_NAME(TFileStream)
public:
    TFileStream(const std::string& path, unsigned mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t size) override;
    const std::string& FileName() const { return m_path; }

private:
    std::string m_path;
    intptr_t m_handle;  // the platform's file handle or descriptor
};

}  // namespace pogoda
