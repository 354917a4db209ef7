#pragma once
// Icons and bitmaps as handles, as the handheld's controls hold them: loaded by resource number from
// the program's image table or made from an image, owned by whoever holds the handle and destroyed
// explicitly. A handle stays valid until it is destroyed; destroying one that is not (or no longer)
// valid does nothing and reports FALSE, so a double release can never free memory twice.

#include "WinTypes.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace platform {

struct IconObject;
struct BitmapObject;
using HICON = IconObject*;
using HBITMAP = BitmapObject*;

// The program registers its icon and bitmap resources by number (a Qt resource path each).
void AddImageResource(UINT id, const QString& path);
bool HasImageResource(UINT id);

// Icon resource id at cx x cy pixels; 0 x 0 is the image's own size. Null when there is no such
// resource or it does not load.
HICON LoadIcon(UINT id, int cx = 0, int cy = 0);
// An icon made from a copy of the image; null for a null image.
HICON CreateIconFromImage(const QImage& image);
BOOL DestroyIcon(HICON icon);
bool IsIcon(HICON icon);
// The icon's pixels at its own size (a null image for an invalid handle).
QImage IconImage(HICON icon);
QSize IconSize(HICON icon);

HBITMAP LoadBitmap(UINT id);
HBITMAP CreateBitmapFromImage(const QImage& image);
BOOL DeleteObject(HBITMAP bitmap);
bool IsBitmap(HBITMAP bitmap);
QImage BitmapImage(HBITMAP bitmap);

// Handles alive now, for tests that check nothing leaks.
int LiveIconCount();
int LiveBitmapCount();

} // namespace platform
