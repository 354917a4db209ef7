#include "CorsConfig.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace cors {

namespace {

constexpr auto CUR = CXmlDocument::XML_POS_CURRENT;
constexpr auto CHILD = CXmlDocument::XML_POS_CHILD;
const char16_t* const kDeclaration = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
const char16_t* const kNull = u"NULL";

std::u16string U16(const QString& s) { return s.toStdU16String(); }
QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }
std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

} // namespace

CCorsConfig::CCorsConfig(QString path) : m_path(std::move(path)) {}

void CCorsConfig::BuildEmpty()
{
    // Whatever encoding a file that failed to load had, the empty document is UTF-8 without a mark.
    m_doc.SetDocFlags(m_doc.GetDocFlags() & ~CXmlDocument::XML_FILE_FLAGS);
    m_doc.SetDocText(kDeclaration); // a declaration alone: not yet well-formed, as expected
    m_doc.AddElement(u"CORSConfig");
    m_doc.SetAttributeAt(CUR, u"xmlns", kNamespace);
    m_doc.SetAttributeAt(CUR, u"version", 1001);
    m_doc.EnterElement();
    m_doc.AddElement(u"ConfigInformation");
    m_doc.EnterElement();
    m_doc.AddElement(u"DataCenterAddress", kNull);
    m_doc.AddElement(u"ServerPort", kNull);
    m_doc.AddElement(u"DataSourceList");
    m_doc.SetAttributeAt(CUR, u"LastSource", kNull);
    m_doc.AddElement(u"UserName");
    m_doc.SetAttributeAt(CUR, u"LastUser", kNull);
    m_doc.LeaveElement();
    m_doc.LeaveElement();
}

bool CCorsConfig::Save()
{
    if (m_path.isEmpty())
        return false;
    // A file we could not use is written over only once its bytes are safe under another name.
    if (m_keepFile && !MoveAside())
        return false;
    m_keepFile = false;
    return m_doc.SaveFile(LocalPath(m_path));
}

bool CCorsConfig::MoveAside()
{
    // The user's casters are never destroyed silently: a file we cannot use keeps its bytes under a
    // time-stamped name next to it before the empty document takes its place.
    const QFileInfo info(m_path);
    if (!info.exists() || info.size() == 0)
        return true;
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = m_path + QStringLiteral(".broken-") + stamp;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = m_path + QStringLiteral(".broken-") + stamp + QLatin1Char('-') + QString::number(n);
    if (!QFile::rename(m_path, target) && !QFile::copy(m_path, target))
        return false;
    m_movedAside = target;
    return true;
}

QStringList CCorsConfig::Load()
{
    QStringList addresses;
    m_keepFile = m_path.isEmpty() || !m_doc.LoadFile(LocalPath(m_path));
    if (m_keepFile) {
        BuildEmpty();
        Save();
        return addresses;
    }
    StartSearch();
    while (m_doc.FindChild(u"ConfigInformation")) {
        m_doc.EnterElement();
        const QString address = ChildText(u"DataCenterAddress");
        m_doc.LeaveElement();
        if (address == QLatin1String("NULL"))
            break;
        addresses << address;
    }
    return addresses;
}

void CCorsConfig::StartSearch()
{
    m_doc.ResetPosition();
    m_doc.FindChild(); // the root becomes the current element
    m_doc.ResetChildPos();
}

bool CCorsConfig::FindCaster(int index)
{
    if (index < 0)
        return false;
    StartSearch();
    for (int i = 0; i <= index; ++i)
        if (!m_doc.FindChild(u"ConfigInformation"))
            return false;
    return true;
}

bool CCorsConfig::FindCaster(const QString& address)
{
    StartSearch();
    while (m_doc.FindChild(u"ConfigInformation")) {
        m_doc.EnterElement();
        const bool match = ChildText(u"DataCenterAddress") == address;
        m_doc.LeaveElement();
        if (match)
            return true;
    }
    return false;
}

// The text of the named child of the current element, from the first child on; the child position
// is left on it.
QString CCorsConfig::ChildText(const char16_t* name)
{
    m_doc.ResetChildPos();
    return m_doc.FindChild(name) ? Q(m_doc.GetChildText()) : QString();
}

// The texts of the Item children of the child element, which is entered and left again.
QStringList CCorsConfig::Items()
{
    QStringList items;
    if (!m_doc.EnterElement())
        return items;
    while (m_doc.FindChild(u"Item"))
        items << Q(m_doc.GetChildText());
    m_doc.LeaveElement();
    return items;
}

bool CCorsConfig::Read(int index, DataCentre* out)
{
    if (!out || !FindCaster(index))
        return false;
    *out = DataCentre();
    m_doc.EnterElement();
    out->address = ChildText(u"DataCenterAddress");
    out->port = ChildText(u"ServerPort");
    m_doc.ResetChildPos();
    if (m_doc.FindChild(u"DataSourceList")) {
        out->lastSource = Q(m_doc.GetChildAttribute(u"LastSource"));
        out->sources = Items();
    }
    m_doc.ResetChildPos();
    if (m_doc.FindChild(u"UserName")) {
        out->lastUser = Q(m_doc.GetChildAttribute(u"LastUser"));
        out->users = Items();
    }
    m_doc.LeaveElement();
    return true;
}

bool CCorsConfig::SaveAcceptedLogin(const AcceptedLogin& login)
{
    const std::u16string port = U16(QString::asprintf("%d", int(login.port)));
    // The placeholder of an empty file goes first; only the first ConfigInformation is looked at.
    StartSearch();
    if (m_doc.FindChild(u"ConfigInformation")) {
        m_doc.EnterElement();
        const bool placeholder = ChildText(u"DataCenterAddress") == QLatin1String("NULL");
        m_doc.LeaveElement();
        if (placeholder)
            m_doc.RemoveChild();
    }

    if (FindCaster(login.address)) {
        m_doc.EnterElement();
        ChildText(u"DataCenterAddress");
        m_doc.SetTextAt(CHILD, U16(login.address));
        ChildText(u"ServerPort");
        m_doc.SetTextAt(CHILD, port);
        m_doc.ResetChildPos();
        if (m_doc.FindChild(u"DataSourceList")) {
            m_doc.SetAttributeAt(CHILD, u"LastSource", U16(login.source));
            m_doc.EnterElement();
            while (m_doc.FindChild(u"Item"))
                m_doc.RemoveChild();
            for (const QString& s : login.sources)
                m_doc.AddElement(u"Item", U16(s), CXmlDocument::XML_ADD_CHILD);
            m_doc.LeaveElement();
        }
        m_doc.ResetChildPos();
        if (m_doc.FindChild(u"UserName")) {
            m_doc.SetAttributeAt(CHILD, u"LastUser", U16(login.user));
            m_doc.EnterElement();
            bool known = false;
            while (!known && m_doc.FindChild(u"Item"))
                known = Q(m_doc.GetChildText()) == login.user;
            // A failed search leaves the child position on the last Item: the new one goes behind it.
            if (!known)
                m_doc.AddElement(u"Item", U16(login.user), CXmlDocument::XML_ADD_CHILD);
            m_doc.LeaveElement();
        }
        m_doc.LeaveElement();
    } else {
        StartSearch();
        while (m_doc.FindChild(u"ConfigInformation")) {
        } // the child position is now the last one, or none
        m_doc.AddElement(u"ConfigInformation", {}, CXmlDocument::XML_ADD_CHILD);
        m_doc.EnterElement();
        m_doc.EnterElement();
        m_doc.AddElement(u"DataCenterAddress", U16(login.address));
        m_doc.AddElement(u"ServerPort", port);
        m_doc.AddElement(u"DataSourceList");
        m_doc.SetAttributeAt(CUR, u"LastSource", U16(login.source));
        for (const QString& s : login.sources)
            m_doc.AddElement(u"Item", U16(s), CXmlDocument::XML_ADD_CHILD);
        m_doc.AddElement(u"UserName");
        m_doc.SetAttributeAt(CUR, u"LastUser", U16(login.user));
        m_doc.AddElement(u"Item", U16(login.user), CXmlDocument::XML_ADD_CHILD);
        m_doc.LeaveElement();
        m_doc.LeaveElement();
    }
    return Save();
}

bool CCorsConfig::Clear()
{
    BuildEmpty();
    return Save();
}

} // namespace cors
