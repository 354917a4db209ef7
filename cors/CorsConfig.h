#pragma once
// Config.xml: the casters the CORS page remembers, read and written through the XML document engine.
// Per caster (one ConfigInformation element, in the order first added): its address, port, the mount
// points of its last source table with the last one used, and the users that logged in with the
// last one. A ConfigInformation whose address is "NULL" is the placeholder of an empty file. No
// widgets here: the page fills its controls from what these operations return.

#include "XmlDocument.h"

#include <QString>
#include <QStringList>

namespace cors {

// One caster as stored.
struct DataCentre {
    QString address;
    QString port;       // as stored (decimal text)
    QString lastSource;
    QStringList sources;
    QString lastUser;
    QStringList users;
};

// What an accepted login stores.
struct AcceptedLogin {
    QString address;
    unsigned port = 0;
    QString source;      // the mount point logged in to
    QString user;
    QStringList sources; // the mount-point list the page holds
};

class CCorsConfig {
public:
    explicit CCorsConfig(QString path = QString());

    void SetPath(const QString& path) { m_path = path; }
    const QString& Path() const { return m_path; }

    // Reads the file. A missing file, or one that cannot be read or is not well-formed, is replaced
    // by the empty document (an existing one is first renamed aside, see MovedAside; one that cannot
    // be renamed is left as it is, and saves fail). Returns the stored addresses in file order, up to
    // the first placeholder.
    QStringList Load();
    // The caster stored at this index (0 first); false when there is none.
    bool Read(int index, DataCentre* out);
    // Stores an accepted login: the placeholder goes, the caster is updated or added, the file saved.
    bool SaveAcceptedLogin(const AcceptedLogin& login);
    // Writes the empty document over everything.
    bool Clear();

    // Where the last unreadable file was moved to (empty when none was).
    const QString& MovedAside() const { return m_movedAside; }
    CXmlDocument& Document() { return m_doc; }

    static constexpr const char16_t* kNamespace = u"urn:stavo:cors";

private:
    void BuildEmpty();
    bool Save();
    void StartSearch();
    bool FindCaster(int index);
    bool FindCaster(const QString& address);
    QString ChildText(const char16_t* name);
    QStringList Items();
    bool MoveAside();

    QString m_path;
    QString m_movedAside;
    bool m_keepFile = false; // the file on disk could not be used and is not yet moved aside
    CXmlDocument m_doc;
};

} // namespace cors
