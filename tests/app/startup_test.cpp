// Starting the program: the editing surface, the content check, the run
// counter and the refusal of a second copy.

#include "programtest.h"

#include "content/appsettings.h"
#include "content/fileutil.h"
#include "controls/controlbase.h"
#include "controls/thumbcontrol.h"
#include "controls/thumbstrip.h"
#include "imaging/dib.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>

#include <algorithm>
#include <vector>

namespace {

std::vector<int> ExpectedSurface() {
    std::vector<int> ids = {100000, 654629789, 165287, 1897231};
    for (int i = 0; i < 8; ++i)
        ids.push_back(35654564 + i);
    ids.insert(ids.end(), {475478, 6498798, 19811});
    for (int i = 0; i < 8; ++i)
        ids.push_back(2064897 + i);
    ids.insert(ids.end(),
               {99999, 99998, 26544779, 65447921, 32783, 32784, 5647321, 5446475, 54198172,
                165727645, 561124654, 11116578, 32774, 32775, 32773, 99997, 458941191, 567855118});
    return ids;
}

using StartupTest = ProgramTest;

TEST_F(StartupTest, BuildsTheSurfaceOf41ControlsInCreationOrderAndShowsTheFrame) {
    ASSERT_TRUE(Start());
    std::vector<int> ids;
    for (CControlBase* control : View()->GetControls())
        ids.push_back(control->m_nId);
    EXPECT_EQ(ids, ExpectedSurface());
    EXPECT_TRUE(Frame()->isVisible());
    EXPECT_EQ(Frame()->windowTitle().toStdString(), "Untitled - Kavelo");
    EXPECT_EQ(Frame()->minimumSize(), QSize(639, 479));
    EXPECT_TRUE(services.messages.empty());
    // The surface speaks Dutch whatever the command line said.
    EXPECT_EQ(AppSettings().GetLanguage(), 1);
    ASSERT_NE(View()->Strings().Find(1000), nullptr);
    EXPECT_EQ(*View()->Strings().Find(1000), "Het programma verlaten?");
}

TEST_F(StartupTest, EmptyLayerListDisablesWhatNeedsALayer) {
    ASSERT_TRUE(Start());
    for (int id : {99998, 26544779, 65447921, 458941191, 32784})
        EXPECT_FALSE(dynamic_cast<QWidget*>(View()->FindControl(id))->isEnabled()) << id;
    for (int id : {32783, 99999, 5647321, 561124654})
        EXPECT_TRUE(dynamic_cast<QWidget*>(View()->FindControl(id))->isEnabled()) << id;
}

TEST_F(StartupTest, MissingContentAsksThreeTimesThenEndsQuietly) {
    testsupport::TempDir empty;
    ASSERT_TRUE(WriteRegistryString(empty.Str(), HKEY_CURRENT_USER, kRegistryKey, "contentdir"));
    const bool started = Start();
    WriteRegistryString("", HKEY_CURRENT_USER, kRegistryKey, "contentdir");
    EXPECT_FALSE(started);
    ASSERT_EQ(services.messages.size(), 3u);
    // The folder as this system writes it.
    const std::string folder = empty.Str() + "/";
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(services.messages[size_t(i)].text,
                  "Steek de CD-ROM in de drive om met clipart te werken\n (CD-ROM directory " +
                      folder + ", try " + std::to_string(i + 1) + " / 3)");
    EXPECT_EQ(AppSettings().GetStartupAbort(), 1);
    EXPECT_EQ(Frame(), nullptr);
}

TEST_F(StartupTest, AnEmptyClipArtFolderIsContentEnough) {
    testsupport::TempDir content;
    ASSERT_TRUE(QDir(QString::fromStdString(content.Str())).mkpath(QStringLiteral("res/Data")));
    ASSERT_TRUE(WriteRegistryString(content.Str(), HKEY_CURRENT_USER, kRegistryKey, "contentdir"));
    const bool started = Start();
    WriteRegistryString("", HKEY_CURRENT_USER, kRegistryKey, "contentdir");
    EXPECT_TRUE(started);
    EXPECT_TRUE(services.messages.empty());
    EXPECT_NE(Frame(), nullptr);
}

// The base name of the picture a thumb shows; empty without one.
std::string ShownBaseName(CThumbControl* thumb) {
    return thumb && thumb->GetImage() ? thumb->GetImage()->GetBaseName() : std::string();
}

TEST_F(StartupTest, TheFileStripStartsWithTheCategoryChosenLastOrTheFirst) {
    ASSERT_TRUE(Start());
    auto* categories = dynamic_cast<CThumbStrip*>(View()->FindControl(ID_CATEGORY_STRIP));
    auto* files = dynamic_cast<CThumbStrip*>(View()->FindControl(ID_FILE_STRIP));
    ASSERT_NE(categories->m_pSelected, nullptr);
    const std::string firstCategory = ShownBaseName(categories->m_pSelected);
    EXPECT_EQ(files->m_directory.GetAltPath(), firstCategory);
    // The file strip shows pictures of it, no empty black thumbs.
    int shown = 0;
    for (CThumbControl* thumb : files->Thumbs())
        if (!ShownBaseName(thumb).empty()) {
            ++shown;
            EXPECT_EQ(ShownBaseName(thumb).rfind(firstCategory + "\\", 0), 0u);
        }
    EXPECT_EQ(shown, std::min(files->FileCount(), kThumbsPerStrip));
    EXPECT_GT(shown, 0);

    // The user chooses the last category shown; the next start shows it.
    programtest::Click(programtest::Widget(View(), ID_FIRST_CATEGORY_THUMB + 7));
    const std::string chosen = ShownBaseName(categories->m_pSelected);
    ASSERT_NE(chosen, firstCategory);
    Stop();
    ASSERT_TRUE(Start());
    categories = dynamic_cast<CThumbStrip*>(View()->FindControl(ID_CATEGORY_STRIP));
    files = dynamic_cast<CThumbStrip*>(View()->FindControl(ID_FILE_STRIP));
    EXPECT_EQ(ShownBaseName(categories->m_pSelected), chosen);
    EXPECT_EQ(files->m_directory.GetAltPath(), chosen);
}

TEST_F(StartupTest, CountsEveryStartFromZero) {
    WriteRegistryDword(DWORD(-1), HKEY_CURRENT_USER, kRegistryKey, "nruns");
    ASSERT_TRUE(Start());
    Stop();
    ASSERT_TRUE(Start());
    DWORD runs = 99;
    ASSERT_TRUE(ReadRegistryDword(&runs, HKEY_CURRENT_USER, kRegistryKey, "nruns"));
    EXPECT_EQ(runs, 1u);
}

TEST_F(StartupTest, ASecondCopyEndsWhileTheFirstShowsTheRememberedCaption) {
    ASSERT_TRUE(Start());
    View()->SetDesignTitle("Untitled");
    QApplication::processEvents();
    EXPECT_EQ(ReadWindowTitle(), "Untitled - Kavelo");
    CMorvaneApp second(AppSettings());
    EXPECT_FALSE(second.InitInstance({}));
    EXPECT_EQ(second.MainFrame(), nullptr);
    EXPECT_EQ(AppSettings().GetStartupAbort(), 1);
    // Once the first copy is gone, the next start goes ahead.
    Stop();
    AppSettings().SetStartupAbort(0);
    EXPECT_TRUE(Start());
}

} // namespace
