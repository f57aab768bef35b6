// Entry point of every test program: Qt runs offscreen, settings go to a
// private file, and a dialog that a test did not script fails the test
// instead of waiting for a person.

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
    int ShellExecute(const std::string& path, const std::string&) override {
        ADD_FAILURE() << "unexpected shell open of " << path;
        return 2;
    }
};

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);

    testsupport::TempDir settingsDir;
    platform::UseSettingsFile((settingsDir.Path() / "registry.ini").string());
    UnexpectedDialogs guard;
    platform::SetServices(&guard);

    const int result = RUN_ALL_TESTS();
    platform::SetServices(nullptr);
    return result;
}
