#pragma once
// The whole program started as the user starts it, in the staged program
// folder with its bundled resources, offscreen and with scripted dialogs.

#include "app/mainframe.h"
#include "app/morvaneapp.h"
#include "app/morvanedoc.h"
#include "app/morvaneview.h"
#include "platform/userservices.h"

#include <gtest/gtest.h>

#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

// Small hands of the tests of the whole program.
namespace programtest {

// The control's window on the view.
QWidget* Widget(CMorvaneView* view, int id);
// The pointer onto the widget's centre, and a left click there.
void Click(QWidget* widget);
std::string ReadFile(const QString& path);
void WriteFile(const QString& path, const std::string& bytes);
// The lines of a text without their line feeds; an unended last line counts.
std::vector<std::string> Lines(const std::string& text);

} // namespace programtest

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program with the wizard switched off unless asked for, with
    // the arguments after the program name.
    bool Start(bool wizard = false, const std::vector<std::string>& arguments = {});
    void Stop();

    CMorvaneView* View() const { return m_program ? m_program->View() : nullptr; }
    CMainFrame* Frame() const { return m_program ? m_program->MainFrame() : nullptr; }
    CMorvaneDoc* Document() const { return m_program ? m_program->Document() : nullptr; }
    CLayerCycle* Layers() const { return View()->LayerList(); }
    CLayerMixer* Mixer() const { return View()->Mixer(); }

    // The design window active, as the window manager makes it once a
    // popup has gone (the offscreen platform does not).
    void ActivateFrame();

    // Runs the action while a popup's modal loop runs: the action gets the
    // popup window that became active (the top-level window opened last).
    static void WhenPopupOpens(std::function<void(QWidget* popup)> action);

    // A picture of the bundled clip art, as the design files name it.
    static std::string ClipArtPicture();

    platform::ScopedScriptedServices services;
    std::unique_ptr<CMorvaneApp> m_program;
    QString m_previousFolder;
};
