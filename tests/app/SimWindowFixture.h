#pragma once
// The main window in the test process, on the offscreen platform, against the simulated receiver: a
// test fixture that starts the simulator (its data folder becomes the program's), the program's
// application object and its main window, and puts all back afterwards; and a responder that answers
// the program's message boxes as a test says.

#include "SimHarness.h"
#include "WaitUntil.h"

#include "app/StavoApp.h"
#include "app/StavoDlg.h"
#include "res/resource.h"

#include "platform/Clock.h"
#include "platform/KeyRouter.h"
#include "platform/MessageBox.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

// Answers every box with the next of a list (then with the box's first button) and records it; can
// look at the program's state at the moment a box shows.
struct Answers {
    explicit Answers(std::vector<int> list = {}, std::function<void(const platform::MessageBoxCall&)> peek = {})
    {
        platform::ClearMessageBoxLog();
        auto shared = std::make_shared<std::vector<int>>(std::move(list));
        platform::SetMessageBoxResponder([shared, peek](const platform::MessageBoxCall& c) {
            if (peek)
                peek(c);
            if (shared->empty())
                return platform::DefaultMessageBoxResult(c.type);
            const int r = shared->front();
            shared->erase(shared->begin());
            return r;
        });
    }
    ~Answers() { platform::SetMessageBoxResponder(nullptr); }
    // How many boxes with this text have shown since the responder was set.
    static int count(const QString& text)
    {
        int n = 0;
        for (const platform::MessageBoxCall& c : platform::MessageBoxLog())
            n += c.text == text;
        return n;
    }
};

class SimWindowFixture : public ::testing::Test {
protected:
    // The simulator with these arguments; the program's timers run at scale of real time.
    void StartSim(const QStringList& args, double scale = 0.1)
    {
        m_sim = std::make_unique<SimHarness>(args);
        ASSERT_TRUE(m_sim->ready());
        qputenv("XDG_CONFIG_HOME", m_sim->home().toUtf8());
        platform::Clock::setRealScale(scale);
    }
    // The application object as the program starts it.
    void StartApp()
    {
        m_app = std::make_unique<CStavoApp>();
        ASSERT_TRUE(m_app->InitApplication());
    }
    // The application object and its main window, created and active.
    void StartWindow()
    {
        ASSERT_NO_FATAL_FAILURE(StartApp());
        m_dlg = std::make_unique<CStavoDlg>();
        m_app->AttachMainWindow(m_dlg.get());
        m_dlg->Create(IDD_STAVO_DIALOG, nullptr);
        QApplication::setActiveWindow(m_dlg.get());
    }
    void TearDown() override
    {
        platform::SetMessageBoxResponder(nullptr);
        platform::SetAppPreTranslate(nullptr);
        m_dlg.reset();
        m_app.reset();
        platform::Clock::setRealScale(1.0);
        qunsetenv("XDG_CONFIG_HOME");
    }

    std::unique_ptr<SimHarness> m_sim;
    std::unique_ptr<CStavoApp> m_app;
    std::unique_ptr<CStavoDlg> m_dlg;
};
