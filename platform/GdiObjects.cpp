#include "GdiObjects.h"

#include <QImageReader>

#include <map>
#include <mutex>
#include <set>

namespace platform {

struct IconObject {
    QImage image;
};
struct BitmapObject {
    QImage image;
};

namespace {

struct Registry {
    std::mutex lock;
    std::map<UINT, QString> resources;
    std::set<const IconObject*> icons;
    std::set<const BitmapObject*> bitmaps;
};

Registry& registry()
{
    static Registry r;
    return r;
}

QImage loadResource(UINT id, QSize size)
{
    QString path;
    {
        Registry& r = registry();
        std::lock_guard<std::mutex> g(r.lock);
        const auto it = r.resources.find(id);
        if (it == r.resources.end())
            return {};
        path = it->second;
    }
    QImageReader reader(path);
    if (size.isValid() && !size.isEmpty())
        reader.setScaledSize(size);
    return reader.read();
}

} // namespace

void AddImageResource(UINT id, const QString& path)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    r.resources[id] = path;
}

bool HasImageResource(UINT id)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    return r.resources.count(id) > 0;
}

HICON CreateIconFromImage(const QImage& image)
{
    if (image.isNull())
        return nullptr;
    auto* icon = new IconObject{image.convertToFormat(QImage::Format_ARGB32_Premultiplied)};
    Registry& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    r.icons.insert(icon);
    return icon;
}

HICON LoadIcon(UINT id, int cx, int cy)
{
    return CreateIconFromImage(loadResource(id, QSize(cx, cy)));
}

BOOL DestroyIcon(HICON icon)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    if (!icon || r.icons.erase(icon) == 0)
        return FALSE;
    delete icon;
    return TRUE;
}

bool IsIcon(HICON icon)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    return icon && r.icons.count(icon) > 0;
}

QImage IconImage(HICON icon) { return IsIcon(icon) ? icon->image : QImage(); }

QSize IconSize(HICON icon) { return IsIcon(icon) ? icon->image.size() : QSize(); }

HBITMAP CreateBitmapFromImage(const QImage& image)
{
    if (image.isNull())
        return nullptr;
    auto* bitmap = new BitmapObject{image.convertToFormat(QImage::Format_RGB32)};
    Registry& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    r.bitmaps.insert(bitmap);
    return bitmap;
}

HBITMAP LoadBitmap(UINT id) { return CreateBitmapFromImage(loadResource(id, QSize())); }

BOOL DeleteObject(HBITMAP bitmap)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    if (!bitmap || r.bitmaps.erase(bitmap) == 0)
        return FALSE;
    delete bitmap;
    return TRUE;
}

bool IsBitmap(HBITMAP bitmap)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    return bitmap && r.bitmaps.count(bitmap) > 0;
}

QImage BitmapImage(HBITMAP bitmap) { return IsBitmap(bitmap) ? bitmap->image : QImage(); }

int LiveIconCount()
{
    Registry& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    return int(r.icons.size());
}

int LiveBitmapCount()
{
    Registry& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    return int(r.bitmaps.size());
}

} // namespace platform
