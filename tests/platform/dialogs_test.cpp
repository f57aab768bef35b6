// The standard dialogs as the user meets them: the real file dialog and
// message box, worked through Qt's events by a timer while they run.

#include "platform/translations.h"
#include "platform/userservices.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Runs the action on the modal dialog of type T once it is up.
template <typename T> void WhenDialogOpens(std::function<void(T*)> action) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action]() {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(dialog);
        }
    });
    timer->start();
}

const std::vector<std::string> kSaveFilters = {"Print file (*.prt)", "Bitmap file (*.bmp)",
                                               "JPeg/JFif file (*.jpg)", "Tiff file (*.tif)"};

platform::FileDialogRequest SaveRequest(const QString& initial) {
    platform::FileDialogRequest request;
    request.open = false;
    request.defaultExtension = "prt";
    request.initialPath = initial.toStdString();
    request.filters = kSaveFilters;
    return request;
}

// The user types the name (replacing the one offered) and presses Enter,
// after choosing the file type that many places down the list.
void TypeName(QFileDialog* dialog, const QString& name, int typesDown) {
    auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_TRUE(types && field);
    for (int i = 0; i < typesDown; ++i)
        QTest::keyClick(types, Qt::Key_Down);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, name);
    QTest::keyClick(field, Qt::Key_Return);
}

TEST(QtFileDialogTest, TheChosenTypeGivesTheExtensionOfANameTypedWithout) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString offered = folder.filePath(QStringLiteral("Untitled.prt"));
    QString shownName;
    WhenDialogOpens<QFileDialog>([&](QFileDialog* dialog) {
        shownName = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
        TypeName(dialog, QStringLiteral("poster"), 1);
    });
    EXPECT_EQ(platform::QtDialogs().FileDialog(SaveRequest(offered)),
              folder.filePath(QStringLiteral("poster.bmp")).toStdString());
    EXPECT_EQ(shownName, QStringLiteral("Untitled.prt"));

    // The type left as it is: a design; a name with its own extension keeps it.
    WhenDialogOpens<QFileDialog>(
        [](QFileDialog* dialog) { TypeName(dialog, QStringLiteral("plain"), 0); });
    EXPECT_EQ(platform::QtDialogs().FileDialog(SaveRequest(offered)),
              folder.filePath(QStringLiteral("plain.prt")).toStdString());
    WhenDialogOpens<QFileDialog>(
        [](QFileDialog* dialog) { TypeName(dialog, QStringLiteral("photo.jpg"), 1); });
    EXPECT_EQ(platform::QtDialogs().FileDialog(SaveRequest(offered)),
              folder.filePath(QStringLiteral("photo.jpg")).toStdString());

    // A name offered with a picture's extension comes with that type chosen.
    QString chosenType;
    WhenDialogOpens<QFileDialog>([&](QFileDialog* dialog) {
        chosenType = dialog->selectedNameFilter();
        TypeName(dialog, QStringLiteral("again"), 0);
    });
    EXPECT_EQ(
        platform::QtDialogs().FileDialog(SaveRequest(folder.filePath(QStringLiteral("page.jpg")))),
        folder.filePath(QStringLiteral("again.jpg")).toStdString());
    EXPECT_EQ(chosenType, QStringLiteral("JPeg/JFif file (*.jpg)"));
}

TEST(QtFileDialogTest, AFolderGivenOpensTheDialogInsideIt) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("Menus")));
    const QString menus = folder.filePath(QStringLiteral("Menus"));
    platform::FileDialogRequest request;
    request.open = true;
    request.flags = OFN_FILEMUSTEXIST;
    request.defaultExtension = "prt";
    request.initialPath = menus.toStdString();
    request.filters = {"Print file (*.prt)"};
    QString shownFolder, shownName = QStringLiteral("unset");
    WhenDialogOpens<QFileDialog>([&](QFileDialog* dialog) {
        shownFolder = dialog->directory().absolutePath();
        shownName = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(platform::QtDialogs().FileDialog(request), std::nullopt);
    EXPECT_EQ(shownFolder, menus);
    EXPECT_EQ(shownName, QString());
}

// The texts of the file dialog's accept and cancel buttons and of a
// question box's cancel button in the language given.
struct ButtonTexts {
    QString fileAccept, fileCancel, boxCancel;
};

ButtonTexts StandardButtonTexts(int language) {
    EXPECT_TRUE(platform::UseStandardDialogLanguage(language)) << language;
    ButtonTexts texts;
    WhenDialogOpens<QFileDialog>([&](QFileDialog* dialog) {
        auto* box = dialog->findChild<QDialogButtonBox*>();
        texts.fileAccept = box->button(QDialogButtonBox::Open)->text();
        texts.fileCancel = box->button(QDialogButtonBox::Cancel)->text();
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    platform::FileDialogRequest request;
    request.flags = OFN_FILEMUSTEXIST;
    platform::QtDialogs().FileDialog(request);
    WhenDialogOpens<QMessageBox>([&](QMessageBox* box) {
        texts.boxCancel = box->button(QMessageBox::Cancel)->text();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    platform::MessageBoxRequest question;
    question.text = "?";
    question.type = MB_OKCANCEL;
    EXPECT_EQ(platform::QtDialogs().MessageBox(question), IDCANCEL);
    return texts;
}

TEST(StandardDialogsTest, SpeakTheProgramsLanguage) {
    const ButtonTexts dutch = StandardButtonTexts(1);
    EXPECT_EQ(dutch.fileAccept, QStringLiteral("&Openen"));
    EXPECT_EQ(dutch.fileCancel, QStringLiteral("Annuleren"));
    EXPECT_EQ(dutch.boxCancel, QStringLiteral("Annuleren"));
    const ButtonTexts german = StandardButtonTexts(4);
    EXPECT_EQ(german.fileAccept, QStringLiteral("&Öffnen"));
    EXPECT_EQ(german.fileCancel, QStringLiteral("Abbrechen"));
    EXPECT_EQ(german.boxCancel, QStringLiteral("Abbrechen"));
    const ButtonTexts english = StandardButtonTexts(3);
    EXPECT_EQ(english.fileCancel, QStringLiteral("Cancel"));
    EXPECT_EQ(english.boxCancel, QStringLiteral("Cancel"));
    EXPECT_FALSE(platform::UseStandardDialogLanguage(9));
}

} // namespace
