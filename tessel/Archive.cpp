#include "Archive.h"

#include <QFileDevice>
#include <QtEndian>

#include <algorithm>
#include <cstring>

CArchive::CArchive(QFileDevice* file, platform::UINT mode, int bufSize)
    : m_file(file), m_mode(mode == load ? load : store), m_bufSize(std::max(16, bufSize))
{
    m_buf.reserve(m_bufSize);
}

CArchive::~CArchive() { Close(); }

void CArchive::Flush()
{
    if (!m_file || !IsStoring() || m_buf.isEmpty())
        return;
    if (m_file->write(m_buf) != m_buf.size())
        m_failed = true;
    m_buf.clear();
}

void CArchive::Close()
{
    Flush();
    if (m_file && IsStoring())
        m_file->flush();
    m_file = nullptr;
}

void CArchive::Write(const void* data, int n)
{
    if (!m_file || !IsStoring() || n <= 0)
        return;
    const char* p = static_cast<const char*>(data);
    while (n > 0) {
        const int room = m_bufSize - int(m_buf.size());
        const int k = std::min(room, n);
        m_buf.append(p, k);
        p += k;
        n -= k;
        if (m_buf.size() >= m_bufSize)
            Flush();
    }
}

bool CArchive::fill()
{
    m_buf = m_file->read(m_bufSize);
    m_pos = 0;
    return !m_buf.isEmpty();
}

qint64 CArchive::remaining() const
{
    if (!m_file)
        return 0;
    return (m_buf.size() - m_pos) + std::max<qint64>(0, m_file->size() - m_file->pos());
}

bool CArchive::Read(void* out, int n)
{
    char* p = static_cast<char*>(out);
    if (n <= 0)
        return true;
    if (!m_file || !IsLoading() || m_failed) {
        std::memset(out, 0, std::size_t(n));
        m_failed = true;
        return false;
    }
    int got = 0;
    while (got < n) {
        if (m_pos >= m_buf.size() && !fill())
            break;
        const int k = std::min(n - got, int(m_buf.size()) - m_pos);
        std::memcpy(p + got, m_buf.constData() + m_pos, std::size_t(k));
        m_pos += k;
        got += k;
    }
    if (got < n) {
        std::memset(out, 0, std::size_t(n));
        m_failed = true;
        return false;
    }
    return true;
}

CArchive& CArchive::operator<<(int v) { return *this << platform::UINT(v); }

CArchive& CArchive::operator<<(platform::UINT v)
{
    const quint32 le = qToLittleEndian(quint32(v));
    Write(&le, 4);
    return *this;
}

CArchive& CArchive::operator<<(qint64 v)
{
    const quint64 le = qToLittleEndian(quint64(v));
    Write(&le, 8);
    return *this;
}

CArchive& CArchive::operator<<(double v)
{
    quint64 bits = 0;
    std::memcpy(&bits, &v, 8);
    const quint64 le = qToLittleEndian(bits);
    Write(&le, 8);
    return *this;
}

CArchive& CArchive::operator<<(const QString& v)
{
    *this << platform::UINT(v.size());
    for (const QChar c : v) {
        const quint16 le = qToLittleEndian(quint16(c.unicode()));
        Write(&le, 2);
    }
    return *this;
}

CArchive& CArchive::operator>>(int& v)
{
    platform::UINT u = 0;
    *this >> u;
    v = int(u);
    return *this;
}

CArchive& CArchive::operator>>(platform::UINT& v)
{
    quint32 le = 0;
    Read(&le, 4);
    v = qFromLittleEndian(le);
    return *this;
}

CArchive& CArchive::operator>>(qint64& v)
{
    quint64 le = 0;
    Read(&le, 8);
    v = qint64(qFromLittleEndian(le));
    return *this;
}

CArchive& CArchive::operator>>(double& v)
{
    quint64 le = 0;
    Read(&le, 8);
    const quint64 bits = qFromLittleEndian(le);
    std::memcpy(&v, &bits, 8);
    return *this;
}

CArchive& CArchive::operator>>(QString& v)
{
    v.clear();
    platform::UINT n = 0;
    *this >> n;
    if (m_failed)
        return *this;
    // A count larger than what the file still holds is a damaged file, not an allocation request.
    if (qint64(n) * 2 > remaining()) {
        m_failed = true;
        return *this;
    }
    QString s(qsizetype(n), Qt::Uninitialized);
    for (platform::UINT i = 0; i < n; ++i) {
        quint16 le = 0;
        if (!Read(&le, 2))
            return *this;
        s[qsizetype(i)] = QChar(qFromLittleEndian(le));
    }
    v = std::move(s);
    return *this;
}
