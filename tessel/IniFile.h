#pragma once
// Small settings files: a section header and one "key = value" line per item, kept in the ANSI code
// page through CStdioFileCe, and three ready-made layouts of receiver and survey settings in the
// section "System Par". Items are found by the first line after the section whose key contains the
// name asked for ("Port" finds RxPort when it comes first), so keys must not be parts of each other.

#include "StdioFileCe.h"
#include "TesselExport.h"

#include <platform/WinTypes.h>

#include <QString>

class TESSEL_EXPORT CIniFile {
public:
    static constexpr const char* kSystemSection = "System Par";

    CIniFile();
    virtual ~CIniFile();
    CIniFile(const CIniFile&) = delete;
    CIniFile& operator=(const CIniFile&) = delete;

    // The file is folder + "/" + name, or the name alone when the folder is empty.
    void SetPathName(const QString& folder, const QString& name);
    // Split at the last "/"; a path without one is a name in the current folder.
    void SetPathName(const QString& path);
    QString GetPathName() const;

    // Opens for reading without telling the user on failure.
    platform::BOOL OpenIniFileForRead();
    // Opens for writing (the file is emptied); the user is told when it fails.
    platform::BOOL OpenIniFileForWrite();
    virtual void CloseIniFile();
    platform::BOOL IsOpen() const { return m_bOpen; }

    // From the start of the file, to the line after the first one that contains the name anywhere.
    platform::BOOL FindSection(const QString& name);

    // Each writes one line ended by CR LF; FALSE when the file is not open.
    platform::BOOL WriteSection(const QString& name);
    platform::BOOL WriteString(const QString& text);
    platform::BOOL WriteItemString(const QString& key, const QString& value);
    platform::BOOL WriteItemInt(const QString& key, int value);
    platform::BOOL WriteItemDouble(const QString& key, double value); // "%.12f"
    platform::BOOL WriteItemFloat(const QString& key, float value);   // "%.3f"

    // TRUE when found; the value is left alone otherwise.
    platform::BOOL GetItemString(const QString& section, const QString& key, QString& value);
    platform::BOOL GetItemInt(const QString& section, const QString& key, int& value);
    platform::BOOL GetItemDouble(const QString& section, const QString& key, double& value);
    platform::BOOL GetItemFloat(const QString& section, const QString& key, float& value);
    static QString GetValueString(const QString& text);

    // The layouts. Each sets the path and opens the file, which stays open until CloseIniFile, the
    // next open or the destructor. FALSE when the file does not open; the readers leave values
    // they do not find unchanged.
    platform::BOOL CreateNewIniFile(const QString& folder, const QString& name, const QString& jobName, int gpsType,
                                    int rxPort, int txPort, int screen);
    platform::BOOL ReadIniFile(const QString& folder, const QString& name, QString& jobName, int& gpsType,
                               int& rxPort, int& txPort, int& screen);
    platform::BOOL CreateHPIniFile(const QString& folder, const QString& name, int rxPort, int txPort, int baud,
                                   int gpsType);
    platform::BOOL ReadHPIniFile(const QString& folder, const QString& name, int& rxPort, int& txPort, int& baud,
                                 int& gpsType);
    platform::BOOL CreateSetupIniFile(const QString& folder, const QString& name, int initTime, int ptTime,
                                      int sampleFreq, int satNum, float snr, int lockTime, float pdop, int qcMode);
    platform::BOOL ReadSetupIniFile(const QString& folder, const QString& name, int& initTime, int& ptTime,
                                    int& sampleFreq, int& satNum, float& snr, int& lockTime, float& pdop,
                                    int& qcMode);

private:
    platform::BOOL openForWrite(const QString& folder, const QString& name);
    platform::BOOL openForRead(const QString& folder, const QString& name);

    CStdioFileCe m_file;
    platform::BOOL m_bOpen = platform::FALSE;
    QString m_strFolder;
    QString m_strFileName;
};
