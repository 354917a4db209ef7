#include "MyStatic.h"

#include <QMouseEvent>

using namespace platform;

CMyStatic::CMyStatic(QWidget* parent) : QLabel(parent), Window(this) {}

CMyStatic::~CMyStatic() = default;

LRESULT CMyStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LBUTTONDOWN)
        return 0;
    return Window::WindowProc(message, wParam, lParam);
}

void CMyStatic::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        SendMessage(WM_LBUTTONDOWN, 0, 0);
        e->accept(); // taken here, so the dialog below never sees it
        return;
    }
    QLabel::mousePressEvent(e);
}
