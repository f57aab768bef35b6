// A second process for the instance registry tests. It shows one
// top-level window with the caption given, publishes it in the registry
// folder given, and then answers commands read line by line from stdin:
//   find <caption>   "found" or "missing", as FindTopLevelWindow sees it
//   others           the other processes' captions, one a line, then "end"
//   quit             withdraws its entry and ends
// Every answer ends with a newline and is flushed at once, so the test can
// wait for each one.

#include "platform/instances.h"
#include "platform/window.h"

#include <QApplication>
#include <QWidget>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

void Answer(const std::string& line) {
    std::cout << line << '\n' << std::flush;
}

void RunCommands() {
    std::string line;
    while (std::getline(std::cin, line)) {
        if (line.rfind("find ", 0) == 0) {
            Answer(platform::FindTopLevelWindow(line.substr(5)) ? "found" : "missing");
        } else if (line == "others") {
            for (const std::string& caption : platform::OtherInstancesCaptions())
                Answer(caption);
            Answer("end");
        } else if (line == "quit") {
            break;
        } else {
            Answer("unknown command");
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: instanceprobe <registry folder> <caption>\n");
        return 2;
    }
    QApplication app(argc, argv);
    platform::SetInstanceRegistryFolder(argv[1]);

    QWidget window;
    window.setWindowTitle(QString::fromUtf8(argv[2]));
    window.resize(120, 80);
    window.show();
    platform::PublishTopLevelWindows();
    platform::WriteTopLevelWindows();
    Answer("ready");

    RunCommands();
    platform::WithdrawTopLevelWindows();
    return 0;
}
