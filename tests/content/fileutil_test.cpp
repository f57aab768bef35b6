#include "content/fileutil.h"
#include "platform/gdi/dc.h"
#include "platform/userservices.h"
#include "testsupport.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(ReadWholeFileTest, ReadsEveryByteAndTerminatesTheBuffer) {
    testsupport::TempDir dir;
    const std::string bytes("a\0b\r\n\xff", 6);
    const std::string path = dir.Write("f.bin", bytes);
    DWORD size = 0;
    char* buffer = ReadWholeFile(path, &size);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(std::string(buffer, size), bytes);
    EXPECT_EQ(buffer[size], '\0');
    FreeFileBuffer(buffer);
    FreeFileBuffer(nullptr);

    // An empty file is read as an empty buffer, not as a failure.
    buffer = ReadWholeFile(dir.Write("empty", ""), &size);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(size, 0u);
    FreeFileBuffer(buffer);
}

TEST(ReadWholeFileTest, FailuresShowTheirMessageOnceAndGiveNull) {
    platform::ScopedScriptedServices script;
    testsupport::TempDir dir;
    DWORD size = 99;
    EXPECT_EQ(ReadWholeFile(dir.Str() + "/missing.prt", &size), nullptr);
    EXPECT_EQ(ReadWholeFile(dir.Str(), &size), nullptr); // a folder
    EXPECT_EQ(size, 99u);
    ASSERT_EQ(script.messages.size(), 2u);
    EXPECT_EQ(script.messages[0].text,
              "Error: could not read file <" + dir.Str() + "/missing.prt>.");
    EXPECT_EQ(script.messages[1].text, "Error: could not read file <" + dir.Str() + ">.");
    EXPECT_EQ(script.messages[0].caption, "Kavelo");
}

TEST(ReadWholeFileTest, StoredNamesWithBackslashesReachTheFile) {
    testsupport::TempDir dir;
    dir.Write("res/kv/name.txt", "hello");
    DWORD size = 0;
    char* buffer = ReadWholeFile(dir.Str() + "\\res\\kv\\name.txt", &size);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(std::string(buffer, size), "hello");
    FreeFileBuffer(buffer);
}

TEST(WriteWholeFileTest, ReplacesTheFileWithExactlyTheText) {
    testsupport::TempDir dir;
    const std::string path = dir.Write("design.prt", "old contents that are longer");
    EXPECT_TRUE(WriteWholeFile(path, "new\r\n"));
    EXPECT_EQ(testsupport::ReadFile(path), "new\r\n");
    // Nothing else is left in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(WriteWholeFileTest, AFailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
    // The write runs in a child process of a user who may not write the
    // folder: another user when the suite runs as root (as in CI), else the
    // folder is closed to this one. The child sends the message it showed.
    testsupport::TempDir dir;
    const std::string path = dir.Write("design.prt", "the good design");
    const bool root = geteuid() == 0;
    chmod(dir.Str().c_str(), root ? 0755 : 0555);
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        if (root && (setgroups(0, nullptr) != 0 || setresgid(65534, 65534, 65534) != 0 ||
                     setresuid(65534, 65534, 65534) != 0))
            _exit(3);
        platform::ScopedScriptedServices script;
        const BOOL written = WriteWholeFile(path, "half a design");
        for (const auto& message : script.messages)
            (void)!write(pipeEnds[1], message.text.data(), message.text.size());
        _exit(written ? 1 : 0);
    }
    close(pipeEnds[1]);
    std::string shown;
    char buffer[512];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        shown.append(buffer, size_t(n));
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    chmod(dir.Str().c_str(), 0755);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the write succeeded, 3: no other user";
    EXPECT_EQ(testsupport::ReadFile(path), "the good design");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
    EXPECT_EQ(shown, "Error: could not write file <" + path + ">.");
}

TEST(WriteWholeFileTest, ADiskThatFillsUpMidWriteKeepsTheOldFile) {
    // A file-size limit makes the write fail part-way, for root as well:
    // once while the bytes are written, once only as the last of them, kept
    // in the write buffer, go to the disk.
    for (const size_t bytes : {size_t(64 * 1024), size_t(2048)}) {
        platform::ScopedScriptedServices script;
        testsupport::TempDir dir;
        const std::string path = dir.Write("design.prt", "the good design");
        rlimit old{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
        auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old;
        small.rlim_cur = 1024;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        const BOOL written = WriteWholeFile(path, std::string(bytes, 'x'));
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previousHandler);
        EXPECT_FALSE(written) << bytes;
        EXPECT_EQ(testsupport::ReadFile(path), "the good design") << bytes;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
        ASSERT_EQ(script.messages.size(), 1u);
        EXPECT_EQ(script.messages[0].text, "Error: could not write file <" + path + ">.");
    }
}

TEST(WriteWholeFileTest, AWriteIntoAMissingFolderFailsAndKeepsNothing) {
    platform::ScopedScriptedServices script;
    testsupport::TempDir dir;
    const std::string path = dir.Str() + "/no/such/folder/design.prt";
    EXPECT_FALSE(WriteWholeFile(path, "x"));
    EXPECT_FALSE(fs::exists(path));
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_EQ(script.messages[0].text, "Error: could not write file <" + path + ">.");
}

TEST(WriteWholeFileTest, AFolderInTheWayIsNotReplaced) {
    platform::ScopedScriptedServices script;
    testsupport::TempDir dir;
    fs::create_directory(dir.Path() / "taken");
    dir.Write("taken/keep.txt", "keep");
    EXPECT_FALSE(WriteWholeFile(dir.Str() + "/taken", "x"));
    EXPECT_EQ(testsupport::ReadFile(dir.Str() + "/taken/keep.txt"), "keep");
    EXPECT_EQ(script.messages.size(), 1u);
}

TEST(ReadLineTest, SplitsAtLineFeedsAndKeepsCarriageReturns) {
    const char buffer[] = {'a', '\r', '\n', 'b'};
    DWORD pos = 0;
    std::string line;
    ReadLine(buffer, &pos, 4, &line);
    EXPECT_EQ(line, "a\r");
    EXPECT_EQ(pos, 3u);
    ReadLine(buffer, &pos, 4, &line);
    EXPECT_EQ(line, "b");
    EXPECT_EQ(pos, 4u);
    // At the end every further read gives an empty line and stays put.
    ReadLine(buffer, &pos, 4, &line);
    EXPECT_EQ(line, "");
    EXPECT_EQ(pos, 4u);
}

TEST(ReadLineTest, StopsAtAZeroByteAndNeverReadsPastTheLength) {
    const char buffer[] = {'x', 'y', '\0', 'z', '\n', 'q', 'r'};
    DWORD pos = 0;
    std::string line;
    ReadLine(buffer, &pos, 7, &line);
    EXPECT_EQ(line, "xy");
    EXPECT_EQ(pos, 3u);
    ReadLine(buffer, &pos, 7, &line);
    EXPECT_EQ(line, "z");
    // A length shorter than the buffer cuts the last line.
    pos = 5;
    ReadLine(buffer, &pos, 6, &line);
    EXPECT_EQ(line, "q");
    EXPECT_EQ(pos, 6u);
}

TEST(NumberConversionTest, BehavesLikeTheRunTimeConversions) {
    EXPECT_EQ(ToInt("  42abc"), 42);
    EXPECT_EQ(ToInt("-17"), -17);
    EXPECT_EQ(ToInt("+5"), 5);
    EXPECT_EQ(ToInt("abc"), 0);
    EXPECT_EQ(ToInt(""), 0);
    EXPECT_EQ(ToInt("99999999999999999999"), 2147483647);
    EXPECT_EQ(ToInt("-99999999999999999999"), -2147483647 - 1);
    EXPECT_EQ(ToLong("16777215\r"), 16777215);
    EXPECT_DOUBLE_EQ(ToDouble("0.625\r"), 0.625);
    EXPECT_DOUBLE_EQ(ToDouble("1e2x"), 100.0);
    EXPECT_DOUBLE_EQ(ToDouble("x"), 0.0);
}

TEST(FileExistsTest, FilesFoldersAndWildcardsCount) {
    testsupport::TempDir dir;
    dir.Write("res/Data/tcat.bmp", "x");
    EXPECT_TRUE(FileExists(dir.Str() + "\\res\\Data\\tcat.bmp"));
    EXPECT_TRUE(FileExists(dir.Str() + "\\res\\Data"));
    EXPECT_TRUE(FileExists(dir.Str() + "\\res\\Data\\*.bmp"));
    EXPECT_FALSE(FileExists(dir.Str() + "\\res\\Data\\*.jpg"));
    EXPECT_FALSE(FileExists(dir.Str() + "\\res\\Data\\dog.bmp"));
}

TEST(SplitPathTest, SplitsLikeTheRunTimeSplitter) {
    std::string drive = "-", folder = "-", name = "-", ext = "-";
    EXPECT_TRUE(SplitPath("C:\\Kavelo\\res\\iflower.bmp", &drive, &folder, &name, &ext));
    EXPECT_EQ(drive, "C:");
    EXPECT_EQ(folder, "\\Kavelo\\res\\");
    EXPECT_EQ(name, "iflower");
    EXPECT_EQ(ext, ".bmp");

    EXPECT_TRUE(SplitPath("/home/anna/ontwerp.v2.prt", &drive, &folder, &name, &ext));
    EXPECT_EQ(drive, "");
    EXPECT_EQ(folder, "/home/anna/");
    EXPECT_EQ(name, "ontwerp.v2");
    EXPECT_EQ(ext, ".prt");

    EXPECT_TRUE(SplitPath("res\\kv\\inquit", nullptr, &folder, &name, &ext));
    EXPECT_EQ(folder, "res\\kv\\");
    EXPECT_EQ(name, "inquit");
    EXPECT_EQ(ext, "");

    // A dot in a folder name is not an extension.
    EXPECT_TRUE(SplitPath("my.folder/file", nullptr, nullptr, &name, &ext));
    EXPECT_EQ(name, "file");
    EXPECT_EQ(ext, "");

    EXPECT_TRUE(SplitPath("D:file.txt", &drive, &folder, &name, nullptr));
    EXPECT_EQ(drive, "D:");
    EXPECT_EQ(folder, "");
    EXPECT_EQ(name, "file");

    EXPECT_TRUE(SplitPath(".profile", nullptr, nullptr, &name, &ext));
    EXPECT_EQ(name, "");
    EXPECT_EQ(ext, ".profile");
}

TEST(SplitPathTest, AskingOnlyForTheDriveDoesNothing) {
    std::string drive = "unchanged";
    EXPECT_FALSE(SplitPath("C:\\a\\b.c", &drive, nullptr, nullptr, nullptr));
    EXPECT_EQ(drive, "unchanged");
}

TEST(RegistryTest, ValuesRoundTripThroughTheStore) {
    std::string s;
    DWORD d = 123;
    EXPECT_FALSE(ReadRegistryDword(&d, HKEY_CURRENT_USER, kRegistryKey, "registry-test-missing"));
    EXPECT_EQ(d, 123u);
    EXPECT_TRUE(WriteRegistryDword(5, HKEY_CURRENT_USER, kRegistryKey, "registry-test-n"));
    EXPECT_TRUE(ReadRegistryDword(&d, HKEY_CURRENT_USER, kRegistryKey, "registry-test-n"));
    EXPECT_EQ(d, 5u);
    EXPECT_TRUE(WriteRegistryString("/opt/x", HKEY_CURRENT_USER, kRegistryKey, "registry-test-s"));
    EXPECT_TRUE(ReadRegistryString(&s, HKEY_CURRENT_USER, kRegistryKey, "registry-test-s"));
    EXPECT_EQ(s, "/opt/x");
    // A value longer than the 500-byte read buffer cannot be read.
    EXPECT_TRUE(WriteRegistryString(std::string(499, 'x'), HKEY_CURRENT_USER, kRegistryKey,
                                    "registry-test-long"));
    EXPECT_TRUE(ReadRegistryString(&s, HKEY_CURRENT_USER, kRegistryKey, "registry-test-long"));
    EXPECT_EQ(s.size(), 499u);
    EXPECT_TRUE(WriteRegistryString(std::string(500, 'x'), HKEY_CURRENT_USER, kRegistryKey,
                                    "registry-test-long"));
    EXPECT_FALSE(ReadRegistryString(&s, HKEY_CURRENT_USER, kRegistryKey, "registry-test-long"));
}

TEST(NextSerialTest, CountsFromOneAndSkipsZeroOnWrapAround) {
    SetSerialCounter(0);
    EXPECT_EQ(NextSerial(), 1);
    EXPECT_EQ(NextSerial(), 2);
    SetSerialCounter(2147483647);
    EXPECT_EQ(NextSerial(), -2147483647 - 1);
    SetSerialCounter(-2);
    EXPECT_EQ(NextSerial(), -1);
    EXPECT_EQ(NextSerial(), 1); // after 4294967295 calls comes 1, never 0
}

TEST(FileDialogTest, PassesTheRequestAndTakesTheAnswer) {
    platform::ScopedScriptedServices script;
    EXPECT_FALSE(FileDialog(nullptr, nullptr, TRUE, nullptr, 0, nullptr));
    EXPECT_TRUE(script.fileDialogs.empty());

    std::string path = "ontwerp.prt";
    script.fileAnswers = {std::string("/home/anna/ontwerp.prt")};
    EXPECT_TRUE(FileDialog(&path, nullptr, FALSE, "prt", 0, "Design (*.prt)|*.prt||"));
    EXPECT_EQ(path, "/home/anna/ontwerp.prt");
    ASSERT_EQ(script.fileDialogs.size(), 1u);
    const auto& save = script.fileDialogs[0];
    EXPECT_FALSE(save.open);
    EXPECT_EQ(save.defaultExtension, "prt");
    EXPECT_EQ(save.initialPath, "ontwerp.prt");
    EXPECT_EQ(save.flags, 0x00880006u | 0x0800u);
    EXPECT_EQ(save.filters, (std::vector<std::string>{"Design (*.prt)"}));

    // An open dialog with the default filter; cancel leaves the path alone.
    EXPECT_FALSE(FileDialog(&path, nullptr, TRUE, nullptr, 0, nullptr));
    EXPECT_EQ(path, "/home/anna/ontwerp.prt");
    const auto& open = script.fileDialogs[1];
    EXPECT_TRUE(open.open);
    EXPECT_EQ(open.flags, 0x00880006u | 0x1800u);
    EXPECT_EQ(open.defaultExtension, "");
    EXPECT_EQ(open.filters, (std::vector<std::string>{"BMP file (*.bmp)", "All Files (*)"}));

    // Explicit flags are kept, with the dialog's own bits added.
    script.fileAnswers = {std::string("")};
    EXPECT_FALSE(FileDialog(&path, nullptr, TRUE, nullptr, OFN_HIDEREADONLY, nullptr));
    EXPECT_EQ(script.fileDialogs[2].flags, OFN_HIDEREADONLY | 0x1800u);
}

TEST(ColorDialogTest, ConfirmStoresCancelKeepsAndASecondIsRefused) {
    platform::ScopedScriptedServices script;
    COLORREF colour = RGB(1, 2, 3);
    script.colorAnswers = {RGB(10, 20, 30), std::nullopt};
    EXPECT_TRUE(ColorDialog(&colour, nullptr));
    EXPECT_EQ(colour, RGB(10, 20, 30));
    EXPECT_TRUE(ColorDialog(&colour, nullptr)); // cancel still answers TRUE
    EXPECT_EQ(colour, RGB(10, 20, 30));
    EXPECT_EQ(script.colorDialogs, (std::vector<COLORREF>{RGB(1, 2, 3), RGB(10, 20, 30)}));
}

namespace {
// Opens a second colour dialog from inside the first, as a second click on
// a colour swatch would while the chooser is up.
class NestedColorServices : public platform::ScopedScriptedServices {
public:
    std::optional<COLORREF> ColorDialog(QWidget* owner, COLORREF initial) override {
        COLORREF other = 0;
        nestedResult = ::ColorDialog(&other, owner);
        return ScriptedServices::ColorDialog(owner, initial);
    }
    BOOL nestedResult = -1;
};
} // namespace

TEST(ColorDialogTest, ASecondDialogWhileOneIsOpenIsRefused) {
    NestedColorServices script;
    COLORREF colour = 0;
    EXPECT_TRUE(ColorDialog(&colour, nullptr));
    EXPECT_EQ(script.nestedResult, FALSE);
    EXPECT_EQ(script.colorDialogs.size(), 1u);
    // Once closed, the next one opens again.
    EXPECT_TRUE(ColorDialog(&colour, nullptr));
}

TEST(ShellOpenTest, FailuresNameTheirReason) {
    platform::ScopedScriptedServices script;
    script.shellResults = {42, 31, 2, 99 - 90};
    EXPECT_TRUE(ShellOpen("res\\dhelp.pdf", "open"));
    EXPECT_FALSE(ShellOpen("res\\drawing.xyz", "open"));
    EXPECT_FALSE(ShellOpen("res\\missing.pdf", "open"));
    EXPECT_FALSE(ShellOpen("res\\odd.pdf", "open"));
    ASSERT_EQ(script.messages.size(), 3u);
    EXPECT_EQ(script.messages[0].text,
              "ShellExecute failure: (no registered program knows the file extension)");
    EXPECT_EQ(script.messages[1].text, "ShellExecute failure: (file not found)");
    EXPECT_EQ(script.messages[2].text, "ShellExecute failure: ()");
    EXPECT_EQ(script.shellOpens[0],
              std::make_pair(std::string("res\\dhelp.pdf"), std::string("open")));
}

TEST(ShellOpenTest, EveryCodeHasItsReason) {
    EXPECT_STREQ(ShellFailureReason(0), "out of memory");
    EXPECT_STREQ(ShellFailureReason(8), "out of memory");
    EXPECT_STREQ(ShellFailureReason(3), "path not found");
    EXPECT_STREQ(ShellFailureReason(5), "the OS won't allow you access");
    EXPECT_STREQ(ShellFailureReason(11), "the executable is no win32 executable");
    EXPECT_STREQ(ShellFailureReason(26), "sharing violation");
    EXPECT_STREQ(ShellFailureReason(27), "no registered program knows the file extension");
    EXPECT_STREQ(ShellFailureReason(28), "time-out");
    EXPECT_STREQ(ShellFailureReason(29), "DDE functions failed");
    EXPECT_STREQ(ShellFailureReason(30), "DDE functions blocked, try again later");
    EXPECT_STREQ(ShellFailureReason(32), "DLL not found");
    EXPECT_STREQ(ShellFailureReason(1), "");
}

TEST(FirstLineCutTest, KeepsTheFirstLineUpToTheMaximum) {
    std::string s = "Hallo\twereld";
    FirstLineCut(&s, 30);
    EXPECT_EQ(s, "Hallo");
    s = std::string(40, 'k');
    FirstLineCut(&s, 30);
    EXPECT_EQ(s, std::string(30, 'k'));
    s = "eerste\r\ntweede";
    FirstLineCut(&s, 30);
    EXPECT_EQ(s, "eerste");
    s = "\nleeg";
    FirstLineCut(&s, 30);
    EXPECT_EQ(s, "");
    // Characters, not bytes: accented letters are counted once and kept whole.
    s = "\xC3\xA9t\xC3\xA9 \xC3\xA0 la plage";
    FirstLineCut(&s, 3);
    EXPECT_EQ(s, "\xC3\xA9t\xC3\xA9");
}

TEST(AspectFitTest, ShrinksToTheSourceProportionsCentred) {
    CRect target(0, 0, 60, 60);
    AspectFit(CRect(0, 0, 100, 50), &target); // wide picture in a square
    EXPECT_EQ(target, CRect(0, 15, 60, 45));

    target = CRect(0, 0, 60, 60);
    AspectFit(CRect(0, 0, 50, 100), &target); // tall picture in a square
    EXPECT_EQ(target, CRect(15, 0, 45, 60));

    target = CRect(0, 0, 61, 60);
    AspectFit(CRect(0, 0, 1, 1), &target); // odd lost width: half rounded down
    EXPECT_EQ(target, CRect(0, 0, 60, 60));

    target = CRect(0, 0, 100, 33);
    AspectFit(CRect(0, 0, 3, 1), &target); // 3 < 100 / 33: the height stays, 3 x 33 = 99
    EXPECT_EQ(target, CRect(0, 0, 99, 33));

    // A field that does not start at the origin stays where it was.
    target = CRect(4, 4, 64, 64);
    AspectFit(CRect(0, 0, 100, 50), &target);
    EXPECT_EQ(target, CRect(4, 19, 64, 49));
}

TEST(AspectFitTest, DegenerateInputsLeaveTheTarget) {
    CRect target(1, 2, 30, 40);
    AspectFit(CRect(0, 0, 0, 50), &target); // ratio 0
    EXPECT_EQ(target, CRect(1, 2, 30, 40));
    CRect flat(0, 0, 30, 0);
    AspectFit(CRect(0, 0, 10, 10), &flat); // target height 0
    EXPECT_EQ(flat, CRect(0, 0, 30, 0));
}

TEST(AspectCoverTest, GrowsToCoverTheTargetCentred) {
    CRect target(0, 0, 100, 100);
    AspectCover(CRect(0, 0, 200, 100), &target);
    EXPECT_EQ(target, CRect(-50, 0, 150, 100));

    target = CRect(0, 0, 100, 100);
    AspectCover(CRect(0, 0, 100, 300), &target);
    EXPECT_EQ(target, CRect(0, -100, 100, 200));

    target = CRect(0, 0, 10, 10);
    AspectCover(CRect(0, 0, 13, 10), &target); // odd gain of 3: moved left by 1
    EXPECT_EQ(target, CRect(-1, 0, 12, 10));

    target = CRect(0, 0, 10, 0);
    AspectCover(CRect(0, 0, 13, 10), &target);
    EXPECT_EQ(target, CRect(0, 0, 10, 0));
}

TEST(FillAroundTest, FillsTheFourBandsAndLeavesTheInside) {
    const QRgb paper = qRgb(0x20, 0x40, 0x60);
    const COLORREF band = RGB(200, 10, 30);
    // Inside the area, and touching its top-left and bottom-right corners.
    for (const CRect inner : {CRect(3, 2, 7, 5), CRect(0, 0, 4, 3), CRect(6, 4, 11, 9)}) {
        SCOPED_TRACE(testing::Message() << inner);
        QImage image(12, 10, QImage::Format_RGB32);
        image.fill(paper);
        {
            QPainter painter(&image);
            CDC dc(&painter, &image);
            FillAround(&dc, 11, 9, inner, band);
        }
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 12; ++x) {
                // Outside (0, 0, 11, 9) nothing changes either.
                const bool filled = x < 11 && y < 9 && !inner.PtInRect({x, y});
                const QRgb expected = filled ? qRgb(200, 10, 30) : paper;
                EXPECT_EQ(image.pixel(x, y), expected) << "pixel " << x << ", " << y;
            }
    }
}
