// Failed and interrupted saves of every kind of file the program writes: a
// design, the exported pictures, a PDF print and the settings. The program
// runs in a child process (save_child) under a file-size limit, on a full
// disk, as a user who may not write the folder, and killed just before the
// new file would take the old one's name. Each time the old file stays byte
// for byte, no file of the save is left beside it, and the user has seen
// the program's message.

#include "testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kKinds = {"prt", "bmp", "jpg", "tif", "pdf", "settings"};

constexpr rlim_t kSizeLimit = 256;

constexpr const char* kSaveFailed = "Fout: kon de file niet wegschrijven"; // message 1008

struct Outcome {
    int status = -1;    // the wait status of the process run
    std::string output; // its standard output
    std::vector<std::string> messages;
    bool saved = false;
    bool oldKept = false; // reported from inside a private mount
    std::vector<std::string> listing;
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

void ReadOutcome(Outcome* outcome) {
    bool listing = false;
    for (const std::string& line : Lines(outcome->output)) {
        if (line.rfind("message: ", 0) == 0) {
            std::string message = line.substr(9);
            for (size_t at = 0; (at = message.find("\\n", at)) != std::string::npos; ++at)
                message.replace(at, 2, "\n");
            outcome->messages.push_back(message);
        } else if (line == "saved: 1")
            outcome->saved = true;
        else if (line == "old file kept")
            outcome->oldKept = true;
        else if (line == "listing:")
            listing = true;
        else if (listing)
            outcome->listing.push_back(line);
    }
}

// Runs a program with its standard output captured; a file-size limit is
// set in the new process before the program starts.
Outcome RunProcess(const std::vector<std::string>& command, rlim_t sizeLimit = RLIM_INFINITY) {
    int out[2];
    if (pipe(out) != 0)
        return {};
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        if (sizeLimit != RLIM_INFINITY) {
            // A write beyond the limit then fails instead of ending the process.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{sizeLimit, sizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        std::vector<char*> args;
        for (const std::string& part : command)
            args.push_back(const_cast<char*>(part.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(out[1]);
    Outcome outcome;
    char buffer[4096];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        outcome.output.append(buffer, size_t(n));
    close(out[0]);
    waitpid(pid, &outcome.status, 0);
    ReadOutcome(&outcome);
    return outcome;
}

std::vector<std::string> Listing(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string Target(const std::string& kind) {
    return kind == "settings" ? "registry.ini" : "design." + kind;
}

// The old file of each kind: for the settings a file the settings class
// reads, else bytes no save writes.
std::string OldBytes(const std::string& kind) {
    if (kind == "settings")
        return "[HKCU]\nSoftware\\Kavelo\\language=dword:00000003\n";
    return "the good old " + kind + " file\n";
}

class SaveFailureTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The child's own settings, caches and home, writable by any user.
        fs::permissions(m_private.Path(), fs::perms::all);
        fs::permissions(m_folder.Path(), fs::perms(0755));
    }

    std::vector<std::string> Child(const std::string& kind, const std::string& target) const {
        return {MORVANE_SAVE_CHILD, kind, target, m_private.Str() + "/settings.ini"};
    }
    std::string TargetPath(const std::string& kind) const {
        return (m_folder.Path() / Target(kind)).string();
    }
    std::string WriteOld(const std::string& kind) const {
        return m_folder.Write(Target(kind), OldBytes(kind));
    }
    // The length of the design the child writes, as its message gives it.
    size_t DesignBytes() const {
        const std::string fresh = (m_private.Path() / "fresh.prt").string();
        if (!fs::exists(fresh))
            RunProcess(Child("prt", fresh));
        return fs::exists(fresh) ? size_t(fs::file_size(fresh)) : 0;
    }
    void ExpectOldFileAlone(const std::string& kind) const {
        EXPECT_EQ(testsupport::ReadFile(TargetPath(kind)), OldBytes(kind)) << kind;
        EXPECT_EQ(Listing(m_folder.Path()), std::vector<std::string>{Target(kind)}) << kind;
    }

    testsupport::TempDir m_folder;
    testsupport::TempDir m_private;
};

// The messages a user sees when a file of the kind cannot be written;
// opening marks a folder the user may not write.
std::vector<std::string> FailureMessages(const std::string& kind, const std::string& path,
                                         bool opening, size_t designBytes) {
    if (kind == "prt")
        return {"Error: could not write file <" + path + ">.",
                "Error: failed to save " + std::to_string(designBytes) + " bytes to file " + path,
                kSaveFailed};
    if (kind == "bmp" && opening)
        return {"Error: failed to open file <" + path + "> for writing", kSaveFailed};
    if (kind == "bmp")
        return {kSaveFailed};
    if (kind == "jpg" || kind == "tif")
        return {"Error -1 encoding file <>: Decoder error: " +
                    std::string(opening ? "Opening " : "Writing ") + path + " failed\n",
                kSaveFailed};
    if (kind == "pdf")
        return {opening ? "Error: could not start printing"
                        : "Error: could not write file <" + path + ">."};
    return {}; // the settings are kept quietly, as the registry's are
}

} // namespace

TEST_F(SaveFailureTest, EveryKindReplacesTheOldFileWhenAllGoesWell) {
    for (const std::string& kind : kKinds) {
        WriteOld(kind);
        const Outcome outcome = RunProcess(Child(kind, TargetPath(kind)));
        ASSERT_TRUE(WIFEXITED(outcome.status) && WEXITSTATUS(outcome.status) == 0)
            << kind << ": " << outcome.output;
        EXPECT_TRUE(outcome.saved) << kind << ": " << outcome.output;
        const std::string written = testsupport::ReadFile(TargetPath(kind));
        // Longer than the file-size limit below, so that it fails part-way.
        EXPECT_GT(written.size(), kSizeLimit) << kind;
        EXPECT_EQ(Listing(m_folder.Path()), std::vector<std::string>{Target(kind)}) << kind;
        fs::remove(TargetPath(kind));
    }
}

TEST_F(SaveFailureTest, AWriteThatFailsPartWayUnderAFileSizeLimitKeepsTheOldFile) {
    for (const std::string& kind : kKinds) {
        WriteOld(kind);
        const size_t designBytes = kind == "prt" ? DesignBytes() : 0;
        const Outcome outcome = RunProcess(Child(kind, TargetPath(kind)), kSizeLimit);
        EXPECT_TRUE(WIFEXITED(outcome.status)) << kind << ": " << outcome.output;
        EXPECT_FALSE(outcome.saved) << kind << ": " << outcome.output;
        EXPECT_EQ(outcome.messages, FailureMessages(kind, TargetPath(kind), false, designBytes))
            << kind;
        ExpectOldFileAlone(kind);
        fs::remove(TargetPath(kind));
    }
}

TEST_F(SaveFailureTest, AFullDiskKeepsTheOldFile) {
    // A small disk of its own in a private mount namespace (which needs no
    // privileges), filled up once the old file is on it; what is left on it
    // is listed from inside, where the disk is seen.
    const fs::path disk = m_folder.Path() / "disk";
    fs::create_directory(disk);
    const size_t designBytes = DesignBytes();
    for (const std::string& kind : kKinds) {
        const std::string old = m_private.Write("old." + kind, OldBytes(kind));
        const std::string target = (disk / Target(kind)).string();
        std::string child;
        for (const std::string& part : Child(kind, target))
            child += " " + part;
        const std::string script =
            "mount -t tmpfs -o size=256k tmpfs " + disk.string() + " || exit 3\n" + "cp " + old +
            " " + target + " || exit 4\n" + "dd if=/dev/zero of=" + disk.string() +
            "/filler bs=4096 2>/dev/null\n" + child + "\necho listing:\nLC_ALL=C ls -A " +
            disk.string() + "\ncmp -s " + old + " " + target + " && echo 'old file kept'\nexit 0\n";
        const Outcome outcome =
            RunProcess({"unshare", "--map-root-user", "--mount", "sh", "-c", script});
        ASSERT_TRUE(WIFEXITED(outcome.status) && WEXITSTATUS(outcome.status) == 0)
            << "a private mount with a small disk could not be made: " << outcome.output;
        EXPECT_FALSE(outcome.saved) << kind << ": " << outcome.output;
        EXPECT_EQ(outcome.messages, FailureMessages(kind, target, false, designBytes)) << kind;
        EXPECT_TRUE(outcome.oldKept) << kind << ": " << outcome.output;
        std::vector<std::string> expected = {Target(kind), "filler"};
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(outcome.listing, expected) << kind << ": " << outcome.output;
    }
}

TEST_F(SaveFailureTest, AFolderTheUserMayNotWriteKeepsTheOldFile) {
    // Run by root (as the suite is in CI) the program runs as another user;
    // run by a user, the folder is closed to that user.
    const bool root = geteuid() == 0;
    if (!root)
        fs::permissions(m_folder.Path(), fs::perms(0555));
    for (const std::string& kind : kKinds) {
        if (!root)
            fs::permissions(m_folder.Path(), fs::perms(0755));
        WriteOld(kind);
        if (!root)
            fs::permissions(m_folder.Path(), fs::perms(0555));
        std::vector<std::string> command = Child(kind, TargetPath(kind));
        if (root)
            command.insert(command.begin(), {"setpriv", "--reuid=65534", "--regid=65534",
                                             "--clear-groups", "env", "HOME=" + m_private.Str()});
        const Outcome outcome = RunProcess(command);
        EXPECT_TRUE(WIFEXITED(outcome.status) && WEXITSTATUS(outcome.status) == 0)
            << kind << ": " << outcome.output;
        EXPECT_FALSE(outcome.saved) << kind << ": " << outcome.output;
        EXPECT_EQ(outcome.messages,
                  FailureMessages(kind, TargetPath(kind), true, kind == "prt" ? DesignBytes() : 0))
            << kind;
        ExpectOldFileAlone(kind);
        fs::permissions(m_folder.Path(), fs::perms(0755));
        fs::remove(TargetPath(kind));
    }
}

TEST_F(SaveFailureTest, AProgramKilledBeforeTheNewFileTakesTheNameLeavesTheOldOne) {
    // The process is killed as it is about to give the written file the
    // target's name (the first link or rename that names the target).
    for (const std::string& kind : kKinds) {
        WriteOld(kind);
        std::vector<std::string> command = {
            "strace",
            "-f",
            "-qq",
            "-o",
            "/dev/null",
            "-P",
            TargetPath(kind),
            "-e",
            "trace=link,linkat,rename,renameat,renameat2",
            "-e",
            "inject=link,linkat,rename,renameat,renameat2:error=EIO:signal=KILL"};
        for (const std::string& part : Child(kind, TargetPath(kind)))
            command.push_back(part);
        const Outcome outcome = RunProcess(command);
        EXPECT_TRUE(WIFSIGNALED(outcome.status) ||
                    (WIFEXITED(outcome.status) && WEXITSTATUS(outcome.status) == 128 + SIGKILL))
            << kind << ": the program was not killed: " << outcome.output;
        EXPECT_EQ(outcome.output.find("saved:"), std::string::npos) << kind;
        ExpectOldFileAlone(kind);
        fs::remove(TargetPath(kind));
    }
}
