#include "DirTreeCtrl.h"

#include "MyFileFind.h"
#include "SortStringArray.h"

#include <platform/StdioFile.h>

#include <QFileIconProvider>
#include <QFileInfo>

using namespace platform;

namespace {

// The dot entries of a listing; "." or ".." alone is a root the caller named.
bool EndsInDots(const QString& path)
{
    return path.endsWith(QLatin1String("/.")) || path.endsWith(QLatin1String("/.."));
}

QString WithSlash(const QString& path) { return path.endsWith(u'/') ? path : path + u'/'; }

QString WithoutSlash(QString path)
{
    if (path.endsWith(u'/'))
        path.chop(1);
    return path;
}

} // namespace

CDirTreeCtrl::CDirTreeCtrl(QWidget* parent) : QTreeWidget(parent), Window(this)
{
    m_filters.Add(QStringLiteral("*.*"));
    setHeaderHidden(true);
    setColumnCount(1);
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { OnItemexpanded(item, true); });
    connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) { OnItemexpanded(item, false); });
}

CDirTreeCtrl::~CDirTreeCtrl() = default;

void CDirTreeCtrl::SetFilter(const QString& filter)
{
    if (m_filters.GetSize() > 0 && m_filters[0] == QLatin1String("*.*"))
        m_filters.RemoveAll();
    m_filters.Add(filter);
}

bool CDirTreeCtrl::passesFilters(const QString& name) const
{
    if (m_filters.GetSize() > 0 && m_filters[0] == QLatin1String("*.*"))
        return true;
    const QString tail = name.right(3);
    for (const QString& f : m_filters)
        if (tail.compare(f.right(3), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

BOOL CDirTreeCtrl::DisplayTree(const QString& root, BOOL bFiles)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    clear();
    if (!GetSysImgList())
        return FALSE;
    m_bFiles = bFiles;
    m_strRoot = WithSlash(root);
    HTREEITEM item = AddItem(nullptr, m_strRoot);
    DisplayPath(item, m_strRoot);
    return TRUE;
}

BOOL CDirTreeCtrl::GetSysImgList()
{
    if (!m_imgList)
        m_imgList = std::make_unique<QFileIconProvider>();
    return m_imgList ? TRUE : FALSE;
}

HTREEITEM CDirTreeCtrl::AddItem(HTREEITEM parent, const QString& path)
{
    if (EndsInDots(WithoutSlash(path)))
        return nullptr;
    // The desktop gives icons only for what exists.
    if (!m_imgList || !QFileInfo::exists(path))
        return nullptr;
    const QIcon icon = m_imgList->icon(QFileInfo(path));
    const QString bare = WithoutSlash(path);
    auto* item = new QTreeWidgetItem(QStringList(parent ? GetSubPath(bare) : bare));
    item->setIcon(0, icon);
    if (parent)
        parent->addChild(item);
    else
        addTopLevelItem(item);
    return item;
}

void CDirTreeCtrl::DisplayPath(HTREEITEM parent, QString path)
{
    path = WithSlash(path);
    CSortStringArray dirs;
    CSortStringArray files;
    CMyFileFind finder;
    BOOL more = finder.FindFile(path + QStringLiteral("*.*"));
    while (more) {
        more = finder.FindNextFileW();
        const QString full = path + finder.GetFileName();
        const DWORD attributes = GetFileAttributes(full);
        if (attributes == INVALID_FILE_ATTRIBUTES)
            continue; // a dangling link or an entry gone since the listing
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            dirs.Add(full);
        else if (passesFilters(finder.GetFileName()))
            files.Add(full);
    }
    dirs.Sort();
    const bool updates = updatesEnabled();
    setUpdatesEnabled(false);
    for (const QString& dir : dirs) {
        HTREEITEM item = AddItem(parent, dir);
        if (item && FindSubDir(dir)) {
            item->addChild(new QTreeWidgetItem); // the expand button
            item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        }
    }
    if (m_bFiles) {
        files.Sort();
        for (const QString& file : files)
            AddItem(parent, file);
    }
    setUpdatesEnabled(updates);
}

BOOL CDirTreeCtrl::FindSubDir(const QString& path) const
{
    if (EndsInDots(WithoutSlash(path)))
        return FALSE;
    const DWORD a = GetFileAttributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) ? TRUE : FALSE;
}

void CDirTreeCtrl::resetChildren(HTREEITEM item)
{
    const QList<QTreeWidgetItem*> children = item->takeChildren();
    qDeleteAll(children);
}

void CDirTreeCtrl::ExpandItem(HTREEITEM item, UINT code)
{
    if (!item)
        return;
    if (code & TVE_EXPAND) {
        resetChildren(item);
        DisplayPath(item, GetFullPath(item));
    }
}

LRESULT CDirTreeCtrl::OnItemexpanded(HTREEITEM item, bool expanded)
{
    if (!item)
        return 0;
    if (expanded) {
        ExpandItem(item, TVE_EXPAND);
    } else {
        resetChildren(item);
        item->addChild(new QTreeWidgetItem);
    }
    return 0;
}

QString CDirTreeCtrl::GetFullPath(HTREEITEM item) const
{
    QString path;
    for (HTREEITEM i = item; i; i = i->parent())
        path = i->text(0) + u'/' + path;
    return WithoutSlash(path);
}

QString CDirTreeCtrl::GetSubPath(QString path)
{
    path = WithoutSlash(path);
    return path.mid(path.lastIndexOf(u'/') + 1);
}

HTREEITEM CDirTreeCtrl::SearchSiblingItem(HTREEITEM item, const QString& text) const
{
    const bool top = text.isEmpty() || text.contains(u'/') || !item;
    const int n = top ? topLevelItemCount() : item->childCount();
    auto at = [&](int i) { return top ? topLevelItem(i) : item->child(i); };
    // The name spelt as asked first: on Linux "a" and "A" may both be there.
    for (int i = 0; i < n; ++i)
        if (at(i)->text(0) == text)
            return at(i);
    for (int i = 0; i < n; ++i)
        if (at(i)->text(0).toUpper() == text.toUpper())
            return at(i);
    return nullptr;
}

BOOL CDirTreeCtrl::IsValidPath(const QString& path) const
{
    const QString upper = path.toUpper();
    bool underTop = false;
    for (int i = 0; i < topLevelItemCount() && !underTop; ++i) {
        const QString text = topLevelItem(i)->text(0).toUpper();
        underTop = upper.left(text.size()) == text;
    }
    if (!underTop)
        return FALSE;
    const QString bare = WithoutSlash(path);
    if (bare.isEmpty())
        return GetFileAttributes(QStringLiteral("/")) != INVALID_FILE_ATTRIBUTES;
    CMyFileFind finder;
    return finder.FindFile(bare);
}

BOOL CDirTreeCtrl::SetSelPath(const QString& path)
{
    if (!IsValidPath(path))
        return FALSE;
    const QString p = WithSlash(path);
    const bool updates = updatesEnabled();
    setUpdatesEnabled(false);
    // The root item holds the whole root path: the path must continue below it. Among roots that
    // match, the one spelt exactly as the path wins.
    HTREEITEM item = nullptr;
    int rootLength = 0;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        const QString text = WithSlash(topLevelItem(i)->text(0));
        if (p.startsWith(text)) {
            item = topLevelItem(i);
            rootLength = int(text.size());
            break;
        }
        if (!item && p.startsWith(text, Qt::CaseInsensitive)) {
            item = topLevelItem(i);
            rootLength = int(text.size());
        }
    }
    auto listAfresh = [](HTREEITEM it) {
        if (it->isExpanded())
            it->setExpanded(false); // closes with reset, so the next opening lists it again
        it->setExpanded(true);
    };
    bool found = item != nullptr;
    if (found) {
        listAfresh(item);
        const QStringList parts = p.mid(rootLength).split(u'/', Qt::SkipEmptyParts);
        for (const QString& part : parts) {
            HTREEITEM child = SearchSiblingItem(item, part);
            if (!child) {
                found = false;
                break;
            }
            listAfresh(child);
            item = child;
        }
    }
    if (found) {
        setCurrentItem(item);
        item->setSelected(true);
        scrollToItem(item);
    }
    setUpdatesEnabled(updates);
    return found ? TRUE : FALSE;
}
