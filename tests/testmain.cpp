// Entry point of every test program: Qt runs offscreen, settings go to a
// private file, and a dialog or popup menu that a test did not script fails
// the test instead of waiting for a person.

#include "platform/instances.h"
#include "platform/popupmenu.h"
#include "platform/settingsstore.h"
#include "platform/userservices.h"
#include "testsupport.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class UnexpectedDialogs final : public platform::UserServices {
public:
    int MessageBox(const platform::MessageBoxRequest& r) override {
        ADD_FAILURE() << "unexpected message box: " << r.text;
        return IDCANCEL;
    }
    std::optional<std::string> FileDialog(const platform::FileDialogRequest&) override {
        ADD_FAILURE() << "unexpected file dialog";
        return std::nullopt;
    }
    std::optional<COLORREF> ColorDialog(QWidget*, COLORREF) override {
        ADD_FAILURE() << "unexpected colour dialog";
        return std::nullopt;
    }
    bool FontDialog(QWidget*, LOGFONTA*, DWORD) override {
        ADD_FAILURE() << "unexpected font dialog";
        return false;
    }
    bool PrintDialog(const platform::PrintDialogRequest&) override {
        ADD_FAILURE() << "unexpected print dialog";
        return false;
    }
    bool PageSetupDialog(const platform::PrinterRequest&) override {
        ADD_FAILURE() << "unexpected printer set-up dialog";
        return false;
    }
    void PrintPreview(const platform::PrinterRequest&, const platform::PaintPages&) override {
        ADD_FAILURE() << "unexpected print preview";
    }
    int ShellExecute(const std::string& path, const std::string&) override {
        ADD_FAILURE() << "unexpected shell open of " << path;
        return 2;
    }
};

// No test opens a real popup menu unless it asks for one: a menu nobody
// scripted fails the test instead of waiting for a person.
class UnexpectedMenus final : public platform::PopupMenuService {
public:
    UINT Track(CMenu& menu, UINT, POINT, QWidget*) override {
        ADD_FAILURE() << "unexpected popup menu of " << menu.GetMenuItemCount() << " items";
        return 0;
    }
};

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);

    testsupport::TempDir settingsDir;
    platform::UseSettingsFile((settingsDir.Path() / "registry.ini").string());
    // Each test program sees only its own windows, not those of the test
    // programs running beside it.
    platform::SetInstanceRegistryFolder((settingsDir.Path() / "instances").string());
    UnexpectedDialogs guard;
    platform::SetServices(&guard);
    UnexpectedMenus menuGuard;
    platform::SetPopupMenus(&menuGuard);

    const int result = RUN_ALL_TESTS();
    platform::WithdrawTopLevelWindows();
    platform::SetPopupMenus(nullptr);
    platform::SetServices(nullptr);
    return result;
}
