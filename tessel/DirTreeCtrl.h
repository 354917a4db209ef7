#pragma once
// A tree of the folders below a root folder, optionally with their files, each folder listed only
// when it is opened (and afresh every time), files filtered by the last three characters of their
// names, every folder with an expand button, and a path that can be selected. Icons are the
// desktop's. Item texts are folder and file names; the root item's text is the whole root path.

#include "Array.h"
#include "TesselExport.h"

#include <platform/Window.h>

#include <QTreeWidget>

#include <memory>

class QAbstractFileIconProvider;
using HTREEITEM = QTreeWidgetItem*;

// Expand codes of ExpandItem.
constexpr platform::UINT TVE_COLLAPSE = 0x0001;
constexpr platform::UINT TVE_EXPAND = 0x0002;

class TESSEL_EXPORT CDirTreeCtrl : public QTreeWidget, public platform::Window {
public:
    explicit CDirTreeCtrl(QWidget* parent = nullptr);
    ~CDirTreeCtrl() override;

    // The first call replaces the initial "*.*"; later calls add to the list.
    void SetFilter(const QString& filter);
    // Shows root (a full path) and what it holds; FALSE when the desktop's icons are not available.
    platform::BOOL DisplayTree(const QString& root, platform::BOOL bFiles);
    // Opens the folders down to path, each listed afresh, and selects it; FALSE (nothing selected)
    // when the path is not below the root or a part of it is not in the tree.
    platform::BOOL SetSelPath(const QString& path);
    QString GetFullPath(HTREEITEM item) const;
    // The last component of a path.
    static QString GetSubPath(QString path);

    QString GetRootPath() const { return m_strRoot; }
    const CArray<QString>& GetFilters() const { return m_filters; }
    QString ClassName() const override { return QStringLiteral("SysTreeView32"); }

protected:
    platform::BOOL GetSysImgList();
    HTREEITEM AddItem(HTREEITEM parent, const QString& path);
    void DisplayPath(HTREEITEM parent, QString path);
    platform::BOOL FindSubDir(const QString& path) const;
    void ExpandItem(HTREEITEM item, platform::UINT code);
    HTREEITEM SearchSiblingItem(HTREEITEM item, const QString& text) const;
    platform::BOOL IsValidPath(const QString& path) const;
    // The tree's item-expanded notification: a folder opened is listed afresh, one closed gets its
    // expand button back.
    platform::LRESULT OnItemexpanded(HTREEITEM item, bool expanded);

private:
    bool passesFilters(const QString& name) const;
    void resetChildren(HTREEITEM item);

    platform::BOOL m_bFiles = platform::FALSE;
    std::unique_ptr<QAbstractFileIconProvider> m_imgList;
    QString m_strRoot;
    CArray<QString> m_filters;
};
