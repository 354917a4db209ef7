#pragma once
// The application object: one copy only, the start-up checks, the main window run modally, and Esc
// turned into the exit command before any control sees it.

#include "platform/SingleInstance.h"
#include "platform/Window.h"

#include "res/Resources.h"

#include <QString>

#include <memory>
#include <vector>

class CStavoDlg;

namespace stavo {
// Paints windows and controls in the handheld's system colours rather than the desktop's.
void ApplySystemColours();
} // namespace stavo

class CStavoApp {
public:
    CStavoApp();
    ~CStavoApp();

    // One copy and the start-up checks; false ends the program without a window.
    platform::BOOL InitApplication();
    // Runs the main window; always false, so the program ends when the window closes.
    platform::BOOL InitInstance();
    // Makes dlg the main window: accelerators, key pre-translation and the "come forward" request.
    void AttachMainWindow(CStavoDlg* dlg);
    // Esc, down or up, for the main window, its pages or their controls goes through the
    // accelerator table to the main window and is consumed; in a message box it is the box's.
    platform::BOOL PreTranslateMessage(platform::MSG* msg);

    QString m_pszRegistryKey;
    CStavoDlg* m_pMainWnd = nullptr;
    const std::vector<res::AcceleratorEntry>* m_hAccelTable = nullptr;

private:
    std::unique_ptr<platform::SingleInstance> m_instance; // held, never released, for the process's life
};
