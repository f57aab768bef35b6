// The per-user instance registry between two real processes: a helper
// process publishes its own window and looks for ours, and a crashed
// process's leftovers neither block a new start nor count as a copy.

#include "platform/instances.h"
#include "platform/window.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QWidget>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Captions = std::vector<std::string>;

constexpr int kWaitMs = 10000;

// The other process, spoken to line by line.
class Probe {
public:
    Probe(const std::string& folder, const std::string& caption) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        m_process.setProcessEnvironment(env);
        m_process.start(MORVANE_INSTANCEPROBE,
                        {QString::fromStdString(folder), QString::fromStdString(caption)});
    }
    ~Probe() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(kWaitMs);
        }
    }

    bool Started() { return m_process.waitForStarted(kWaitMs) && ReadLine() == "ready"; }
    std::string Ask(const std::string& command) {
        Send(command);
        return ReadLine();
    }
    Captions Others() {
        Send("others");
        Captions captions;
        for (std::string line = ReadLine(); line != "end" && !line.empty(); line = ReadLine())
            captions.push_back(line);
        return captions;
    }
    // Ends the process the way the program ends; its exit code.
    int Quit() {
        Send("quit");
        m_process.closeWriteChannel();
        return m_process.waitForFinished(kWaitMs) ? m_process.exitCode() : -1;
    }
    // Ends the process without letting it clean up, as a crash would.
    void Kill() {
        m_process.kill();
        m_process.waitForFinished(kWaitMs);
    }
    qint64 Pid() const { return m_process.processId(); }

private:
    void Send(const std::string& command) {
        m_process.write(QByteArray::fromStdString(command + "\n"));
        m_process.waitForBytesWritten(kWaitMs);
    }
    // One answer line without its newline; empty when none came in time.
    std::string ReadLine() {
        while (!m_process.canReadLine())
            if (!m_process.waitForReadyRead(kWaitMs))
                return {};
        return m_process.readLine().trimmed().toStdString();
    }

    QProcess m_process;
};

// Each case publishes into a registry folder of its own and withdraws at
// the end, so the process-wide publication starts afresh every time.
class InstanceRegistry : public testing::Test {
protected:
    void SetUp() override {
        m_previous = platform::InstanceRegistryFolder();
        platform::WithdrawTopLevelWindows();
        platform::SetInstanceRegistryFolder(m_folder.Str());
    }
    void TearDown() override {
        platform::WithdrawTopLevelWindows();
        platform::SetInstanceRegistryFolder(m_previous);
    }

    // Our own window, shown and published.
    void ShowOwnWindow(const char* caption) {
        m_window.setWindowTitle(caption);
        m_window.resize(100, 60);
        m_window.show();
        platform::PublishTopLevelWindows();
        platform::WriteTopLevelWindows();
    }
    std::string Entry(qint64 pid, const char* suffix) const {
        return (m_folder.Path() / (std::to_string(pid) + suffix)).string();
    }
    static bool Exists(const std::string& path) {
        return QFile::exists(QString::fromStdString(path));
    }
    static qint64 OwnPid() { return QCoreApplication::applicationPid(); }

    testsupport::TempDir m_folder;
    std::string m_previous;
    QWidget m_window;
};

} // namespace

TEST_F(InstanceRegistry, SecondProcessFindsTheFirstCaptionAndLeavesTheFirstAsItWas) {
    ShowOwnWindow("Morvane first copy");
    const std::string ownTitles = Entry(OwnPid(), ".titles");
    EXPECT_EQ(testsupport::ReadFile(ownTitles), "Morvane first copy\n");

    Probe second(m_folder.Str(), "Second copy");
    ASSERT_TRUE(second.Started());
    // The second process sees our caption, only ours, and nothing else.
    EXPECT_EQ(second.Ask("find Morvane first copy"), "found");
    EXPECT_EQ(second.Ask("find Morvane"), "missing");
    EXPECT_EQ(second.Others(), (Captions{"Morvane first copy"}));
    // And we see its window.
    EXPECT_EQ(platform::OtherInstancesCaptions(), (Captions{"Second copy"}));
    EXPECT_TRUE(platform::FindTopLevelWindow("Second copy"));

    // A new caption of ours reaches the other process once the event
    // queue has run.
    m_window.setWindowTitle("Morvane renamed");
    QApplication::processEvents();
    EXPECT_EQ(second.Ask("find Morvane renamed"), "found");
    EXPECT_EQ(second.Ask("find Morvane first copy"), "missing");

    const qint64 secondPid = second.Pid();
    EXPECT_TRUE(Exists(Entry(secondPid, ".lock")));
    EXPECT_EQ(second.Quit(), 0);

    // The first copy is unaffected: its window, its entry and its lock are
    // still there; the second one's entry has gone with it.
    EXPECT_TRUE(m_window.isVisible());
    EXPECT_EQ(testsupport::ReadFile(ownTitles), "Morvane renamed\n");
    EXPECT_TRUE(Exists(Entry(OwnPid(), ".lock")));
    EXPECT_FALSE(Exists(Entry(secondPid, ".titles")));
    EXPECT_FALSE(Exists(Entry(secondPid, ".lock")));
    EXPECT_EQ(platform::OtherInstancesCaptions(), Captions{});
    EXPECT_FALSE(platform::FindTopLevelWindow("Second copy"));
}

TEST_F(InstanceRegistry, CrashedProcessLeavesAStaleEntryThatIsRemovedAndBlocksNothing) {
    ShowOwnWindow("Morvane survivor");
    qint64 crashedPid = 0;
    {
        Probe crashed(m_folder.Str(), "Crashed copy");
        ASSERT_TRUE(crashed.Started());
        crashedPid = crashed.Pid();
        EXPECT_EQ(platform::OtherInstancesCaptions(), (Captions{"Crashed copy"}));
        crashed.Kill();
    }
    // Its files stay behind, but nobody holds the lock any more.
    ASSERT_TRUE(Exists(Entry(crashedPid, ".titles")));
    ASSERT_TRUE(Exists(Entry(crashedPid, ".lock")));

    // A new start is not blocked: it publishes, does not see the dead copy
    // and sees us.
    Probe fresh(m_folder.Str(), "Fresh copy");
    ASSERT_TRUE(fresh.Started());
    EXPECT_EQ(fresh.Ask("find Crashed copy"), "missing");
    EXPECT_EQ(fresh.Others(), (Captions{"Morvane survivor"}));
    EXPECT_TRUE(Exists(Entry(fresh.Pid(), ".lock")));
    EXPECT_EQ(testsupport::ReadFile(Entry(fresh.Pid(), ".titles")), "Fresh copy\n");

    // Whoever met the dead entry removed it, lock and all.
    EXPECT_FALSE(Exists(Entry(crashedPid, ".titles")));
    EXPECT_FALSE(Exists(Entry(crashedPid, ".lock")));
    EXPECT_EQ(platform::OtherInstancesCaptions(), (Captions{"Fresh copy"}));
    EXPECT_EQ(fresh.Quit(), 0);
}

TEST_F(InstanceRegistry, CaptionListWithoutALockNeverCounts) {
    ShowOwnWindow("Morvane only copy");
    // A list named after a live process that never took the lock (pid 1
    // exists on every system), and one of a process that cannot exist.
    m_folder.Write("1.titles", "Morvane\n");
    m_folder.Write("999999999.titles", "Morvane\n");
    m_folder.Write("not-a-pid.titles", "Morvane\n");

    EXPECT_FALSE(platform::FindTopLevelWindow("Morvane"));
    EXPECT_EQ(platform::OtherInstancesCaptions(), Captions{});
    EXPECT_FALSE(Exists(Entry(1, ".titles")));
    EXPECT_FALSE(Exists(Entry(999999999, ".titles")));
    // The probe of the lock leaves no lock file behind.
    EXPECT_FALSE(Exists(Entry(1, ".lock")));
    EXPECT_FALSE(Exists(Entry(999999999, ".lock")));
    // A name that is no process number is not ours to remove.
    EXPECT_TRUE(Exists((m_folder.Path() / "not-a-pid.titles").string()));

    // A second process starts and finds only us.
    Probe second(m_folder.Str(), "Second copy");
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(second.Others(), (Captions{"Morvane only copy"}));
    EXPECT_EQ(second.Quit(), 0);
}
