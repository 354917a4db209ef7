#include "IniFile.h"

#include "TextNumbers.h"

using namespace platform;

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

QString System() { return QString::fromLatin1(CIniFile::kSystemSection); }

} // namespace

CIniFile::CIniFile() = default;

CIniFile::~CIniFile() { CloseIniFile(); }

void CIniFile::SetPathName(const QString& folder, const QString& name)
{
    m_strFolder = folder;
    m_strFileName = name;
}

void CIniFile::SetPathName(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    m_strFolder = slash < 0 ? QString() : path.left(slash);
    if (slash == 0)
        m_strFolder = QStringLiteral("/"); // a file in the root keeps its root
    m_strFileName = path.mid(slash + 1);
}

QString CIniFile::GetPathName() const
{
    if (m_strFolder.isEmpty())
        return m_strFileName;
    return m_strFolder.endsWith(u'/') ? m_strFolder + m_strFileName : m_strFolder + u'/' + m_strFileName;
}

BOOL CIniFile::OpenIniFileForRead()
{
    m_bOpen = m_file.Open(GetPathName(), QStringLiteral("rt"), FALSE);
    return m_bOpen;
}

BOOL CIniFile::OpenIniFileForWrite()
{
    m_bOpen = m_file.Open(GetPathName(), QStringLiteral("wt"), TRUE);
    return m_bOpen;
}

void CIniFile::CloseIniFile()
{
    if (m_bOpen)
        m_file.Close();
    m_bOpen = FALSE;
}

BOOL CIniFile::FindSection(const QString& name)
{
    if (!m_bOpen)
        return FALSE;
    m_file.SeekToBegin();
    QString line;
    while (m_file.ReadString(line))
        if (line.contains(name))
            return TRUE;
    return FALSE;
}

BOOL CIniFile::WriteSection(const QString& name) { return WriteString(u'[' + name + u']'); }

BOOL CIniFile::WriteString(const QString& text)
{
    if (!m_bOpen)
        return FALSE;
    return m_file.WriteString(text + kLineEnd);
}

BOOL CIniFile::WriteItemString(const QString& key, const QString& value)
{
    return WriteString(key + QStringLiteral(" = ") + value);
}

BOOL CIniFile::WriteItemInt(const QString& key, int value) { return WriteItemString(key, QString::number(value)); }

BOOL CIniFile::WriteItemDouble(const QString& key, double value)
{
    return WriteItemString(key, textnumbers::Fixed(value, 12));
}

BOOL CIniFile::WriteItemFloat(const QString& key, float value)
{
    return WriteItemString(key, textnumbers::Fixed(double(value), 3));
}

BOOL CIniFile::GetItemString(const QString& section, const QString& key, QString& value)
{
    if (!FindSection(section))
        return FALSE;
    QString line;
    while (m_file.ReadString(line)) {
        if (line.contains(u'['))
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            continue; // no "=", or nothing before it
        if (line.left(eq).contains(key)) {
            value = GetValueString(line.mid(eq + 1));
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CIniFile::GetItemInt(const QString& section, const QString& key, int& value)
{
    QString text;
    if (!GetItemString(section, key, text))
        return FALSE;
    value = textnumbers::LeadingInt(text);
    return TRUE;
}

BOOL CIniFile::GetItemDouble(const QString& section, const QString& key, double& value)
{
    QString text;
    if (!GetItemString(section, key, text))
        return FALSE;
    value = textnumbers::LeadingDouble(text);
    return TRUE;
}

BOOL CIniFile::GetItemFloat(const QString& section, const QString& key, float& value)
{
    QString text;
    if (!GetItemString(section, key, text))
        return FALSE;
    value = float(textnumbers::LeadingDouble(text));
    return TRUE;
}

QString CIniFile::GetValueString(const QString& text) { return text.trimmed(); }

BOOL CIniFile::openForWrite(const QString& folder, const QString& name)
{
    SetPathName(folder, name);
    if (!OpenIniFileForWrite())
        return FALSE;
    WriteString(QString());
    WriteSection(System());
    return TRUE;
}

BOOL CIniFile::openForRead(const QString& folder, const QString& name)
{
    SetPathName(folder, name);
    return OpenIniFileForRead();
}

BOOL CIniFile::CreateNewIniFile(const QString& folder, const QString& name, const QString& jobName, int gpsType,
                                int rxPort, int txPort, int screen)
{
    if (!openForWrite(folder, name))
        return FALSE;
    WriteItemString(QStringLiteral("JobName"), jobName);
    WriteItemInt(QStringLiteral("GPSType"), gpsType);
    WriteItemInt(QStringLiteral("RxPort"), rxPort);
    WriteItemInt(QStringLiteral("TxPort"), txPort);
    WriteItemInt(QStringLiteral("Screen"), screen);
    return TRUE;
}

BOOL CIniFile::ReadIniFile(const QString& folder, const QString& name, QString& jobName, int& gpsType, int& rxPort,
                           int& txPort, int& screen)
{
    if (!openForRead(folder, name))
        return FALSE;
    GetItemString(System(), QStringLiteral("JobName"), jobName);
    GetItemInt(System(), QStringLiteral("GPSType"), gpsType);
    GetItemInt(System(), QStringLiteral("RxPort"), rxPort);
    GetItemInt(System(), QStringLiteral("TxPort"), txPort);
    GetItemInt(System(), QStringLiteral("Screen"), screen);
    return TRUE;
}

BOOL CIniFile::CreateHPIniFile(const QString& folder, const QString& name, int rxPort, int txPort, int baud,
                               int gpsType)
{
    if (!openForWrite(folder, name))
        return FALSE;
    WriteItemInt(QStringLiteral("RxPort"), rxPort);
    WriteItemInt(QStringLiteral("TxPort"), txPort);
    WriteItemInt(QStringLiteral("Baud"), baud);
    WriteItemInt(QStringLiteral("GPSType"), gpsType);
    return TRUE;
}

BOOL CIniFile::ReadHPIniFile(const QString& folder, const QString& name, int& rxPort, int& txPort, int& baud,
                             int& gpsType)
{
    if (!openForRead(folder, name))
        return FALSE;
    GetItemInt(System(), QStringLiteral("RxPort"), rxPort);
    GetItemInt(System(), QStringLiteral("TxPort"), txPort);
    GetItemInt(System(), QStringLiteral("Baud"), baud);
    GetItemInt(System(), QStringLiteral("GPSType"), gpsType);
    return TRUE;
}

BOOL CIniFile::CreateSetupIniFile(const QString& folder, const QString& name, int initTime, int ptTime,
                                  int sampleFreq, int satNum, float snr, int lockTime, float pdop, int qcMode)
{
    if (!openForWrite(folder, name))
        return FALSE;
    WriteItemInt(QStringLiteral("InitTime"), initTime);
    WriteItemInt(QStringLiteral("PtTime"), ptTime);
    WriteItemInt(QStringLiteral("SampleFreq"), sampleFreq);
    WriteItemInt(QStringLiteral("SatNum"), satNum);
    WriteItemFloat(QStringLiteral("SNR"), snr);
    WriteItemInt(QStringLiteral("LockTime"), lockTime);
    WriteItemFloat(QStringLiteral("PDOP"), pdop);
    WriteItemInt(QStringLiteral("QCMode"), qcMode);
    return TRUE;
}

BOOL CIniFile::ReadSetupIniFile(const QString& folder, const QString& name, int& initTime, int& ptTime,
                                int& sampleFreq, int& satNum, float& snr, int& lockTime, float& pdop, int& qcMode)
{
    if (!openForRead(folder, name))
        return FALSE;
    GetItemInt(System(), QStringLiteral("InitTime"), initTime);
    GetItemInt(System(), QStringLiteral("PtTime"), ptTime);
    GetItemInt(System(), QStringLiteral("SampleFreq"), sampleFreq);
    GetItemInt(System(), QStringLiteral("SatNum"), satNum);
    GetItemFloat(System(), QStringLiteral("SNR"), snr);
    GetItemInt(System(), QStringLiteral("LockTime"), lockTime);
    GetItemFloat(System(), QStringLiteral("PDOP"), pdop);
    GetItemInt(System(), QStringLiteral("QCMode"), qcMode);
    return TRUE;
}
