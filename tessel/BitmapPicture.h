#pragma once
// A static picture: a bitmap stretched to the control's size, with an optional caption in its top
// right corner. Without a bitmap it shows only the static background. Taps pass through it.

#include "TesselExport.h"

#include <platform/GdiObjects.h>
#include <platform/Window.h>

#include <QLabel>

class TESSEL_EXPORT CBitmapPicture : public QLabel, public platform::Window {
public:
    explicit CBitmapPicture(QWidget* parent = nullptr);
    ~CBitmapPicture() override;

    // Takes the bitmap (the previous one is deleted); TRUE.
    platform::BOOL SetBitmap(platform::HBITMAP hBitmap);
    // FALSE when both are unchanged or the resource does not load (the control then stays as it was).
    platform::BOOL SetBitmap(platform::UINT nIDResource, const QString& strText = QString());
    platform::UINT GetBmpID() const { return m_nResourceID; }
    platform::HBITMAP GetBitmap() const { return m_hBitmap; }
    QString Caption() const { return m_strText; }

    QString ClassName() const override { return QStringLiteral("Static"); }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    platform::HBITMAP m_hBitmap = nullptr;
    QSize m_bmSize; // width and height of the bitmap
    platform::UINT m_nResourceID = 0;
    QString m_strText;
};
