#pragma once
// An archive over an open file, for a dialog's settings: values are stored in the order written and
// read back in the same order. Layout, all little-endian: int and unsigned as 4 bytes, 64-bit ints as
// 8, double as its 8-byte IEEE form, a string as a 4-byte count of UTF-16 units followed by the units.
// Loading never throws: a read past the end of the file (or a string longer than what is left)
// yields zero or an empty string and marks the archive failed, so a truncated file gives a clear
// outcome instead of garbage.

#include "TesselExport.h"

#include <platform/WinTypes.h>

#include <QByteArray>
#include <QString>

class QFileDevice;

class TESSEL_EXPORT CArchive {
public:
    enum Mode : platform::UINT { store = 0, load = 1 };

    // The file must stay open until Close(); the archive does not own it.
    CArchive(QFileDevice* file, platform::UINT mode, int bufSize = 4096);
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsStoring() const { return m_mode == store; }
    bool IsLoading() const { return m_mode == load; }
    // True once a load ran past the end of the file or a write did not reach it.
    bool IsFailed() const { return m_failed; }
    int BufferSize() const { return m_bufSize; }

    // Writes out what is buffered (store mode); the archive stays usable.
    void Flush();
    // Flushes and detaches from the file; later operations do nothing.
    void Close();

    CArchive& operator<<(int v);
    CArchive& operator<<(platform::UINT v);
    CArchive& operator<<(qint64 v);
    CArchive& operator<<(double v);
    CArchive& operator<<(const QString& v);

    CArchive& operator>>(int& v);
    CArchive& operator>>(platform::UINT& v);
    CArchive& operator>>(qint64& v);
    CArchive& operator>>(double& v);
    CArchive& operator>>(QString& v);

    void Write(const void* data, int n);
    // Reads n bytes; false (and the archive failed, out zeroed) when fewer are left.
    bool Read(void* out, int n);

private:
    bool fill();
    qint64 remaining() const;

    QFileDevice* m_file;
    platform::UINT m_mode;
    int m_bufSize;
    QByteArray m_buf;
    int m_pos = 0; // load: next unread byte in m_buf
    bool m_failed = false;
};
