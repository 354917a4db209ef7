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

// Icons and bitmaps are kept alike: a set of the live handles of each kind, under the one lock.
template <class Object> using Handles = std::set<const Object*> Registry::*;

template <class Object> Object* track(Handles<Object> handles, Object* object)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    (r.*handles).insert(object);
    return object;
}

// Frees a live handle once; FALSE for one that is null, unknown or already freed.
template <class Object> BOOL release(Handles<Object> handles, Object* object)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    if (!object || (r.*handles).erase(object) == 0)
        return FALSE;
    delete object;
    return TRUE;
}

template <class Object> bool isLive(Handles<Object> handles, const Object* object)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    return object && (r.*handles).count(object) > 0;
}

template <class Object> int liveCount(Handles<Object> handles)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    return int((r.*handles).size());
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
    return track(&Registry::icons, new IconObject{image.convertToFormat(QImage::Format_ARGB32_Premultiplied)});
}

HICON LoadIcon(UINT id, int cx, int cy)
{
    return CreateIconFromImage(loadResource(id, QSize(cx, cy)));
}

BOOL DestroyIcon(HICON icon) { return release(&Registry::icons, icon); }

bool IsIcon(HICON icon) { return isLive(&Registry::icons, icon); }

QImage IconImage(HICON icon) { return IsIcon(icon) ? icon->image : QImage(); }

QSize IconSize(HICON icon) { return IsIcon(icon) ? icon->image.size() : QSize(); }

HBITMAP CreateBitmapFromImage(const QImage& image)
{
    if (image.isNull())
        return nullptr;
    return track(&Registry::bitmaps, new BitmapObject{image.convertToFormat(QImage::Format_RGB32)});
}

HBITMAP LoadBitmap(UINT id) { return CreateBitmapFromImage(loadResource(id, QSize())); }

BOOL DeleteObject(HBITMAP bitmap) { return release(&Registry::bitmaps, bitmap); }

bool IsBitmap(HBITMAP bitmap) { return isLive(&Registry::bitmaps, bitmap); }

QImage BitmapImage(HBITMAP bitmap) { return IsBitmap(bitmap) ? bitmap->image : QImage(); }

int LiveIconCount() { return liveCount(&Registry::icons); }

int LiveBitmapCount() { return liveCount(&Registry::bitmaps); }

} // namespace platform
