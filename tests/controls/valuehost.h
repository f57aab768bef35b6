#pragma once
// A manager over a plain 800 x 600 widget that writes every value, select
// and custom notification it hears into a log, for the tests of the value
// controls and the layout group.

#include "controls/controlbase.h"
#include "controls/controlmanager.h"

#include <QWidget>

#include <cstdio>
#include <string>
#include <vector>

namespace valuetests {

class LoggingHost : public CControlManager {
public:
    LoggingHost() {
        m_widget.resize(800, 600);
        m_pHostWnd = &m_widget;
    }
    // The controls go before the widget that parents their windows.
    ~LoggingHost() override { Clear(); }
    BOOL CreateControls() override { return TRUE; }

    void OnNotify_Select(int sender, int value) override {
        log.push_back("select " + std::to_string(sender) + " " + std::to_string(value));
    }
    void OnNotify_Int(int sender, int value) override {
        log.push_back("int " + std::to_string(sender) + " " + std::to_string(value));
    }
    void OnNotify_Double(int sender, double value) override {
        char text[64];
        std::snprintf(text, sizeof text, "double %d %.6f", sender, value);
        log.push_back(text);
    }
    void OnNotify_Custom(int sender, int64_t value0, int64_t) override {
        log.push_back("custom " + std::to_string(sender) + " " + std::to_string(value0));
    }

    // Adds a control the way the program's windows do, and returns it.
    template <class T> T* Add(T* control) {
        AddControl(control);
        return control;
    }

    QWidget m_widget;
    std::vector<std::string> log;
};

using Log = std::vector<std::string>;

} // namespace valuetests
