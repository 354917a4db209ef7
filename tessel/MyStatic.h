#pragma once
// A static text that swallows taps: a press on it neither does anything nor reaches its parent.

#include "TesselExport.h"

#include <platform/Window.h>

#include <QLabel>

class TESSEL_EXPORT CMyStatic : public QLabel, public platform::Window {
public:
    explicit CMyStatic(QWidget* parent = nullptr);
    ~CMyStatic() override;

    QString ClassName() const override { return QStringLiteral("Static"); }
    platform::LRESULT WindowProc(platform::UINT message, platform::WPARAM wParam, platform::LPARAM lParam) override;

protected:
    void mousePressEvent(QMouseEvent* e) override;
};
