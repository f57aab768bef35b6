#pragma once
// What morvane-render is asked to do, read from its command line: the
// design, the output, and for the output's kind the print or picture
// options. Anything that does not fit the output is a usage error.

#include <optional>
#include <string>
#include <vector>

namespace render {

enum class OutputKind { kDesign, kPicture, kPrint };

struct Arguments {
    std::string design;
    std::string output;
    OutputKind kind = OutputKind::kPicture;

    // Pictures: the program's own export at a width in pixels (0: 1000) ...
    int width = 0;
    // ... or a picture made for printing, when any of these is given.
    bool atSize = false;
    double widthCm = 25;
    int dpi = 300;
    bool transparent = false; // PNG only

    // Prints (an OUTPUT ending in ".pdf").
    int mode = 0;         // 0: the design's own, else 1
    int widthCmWhole = 0; // mode 3: --cm WxH
    int heightCmWhole = 0;
    std::optional<bool> keepAspect;
    bool fill = false;
    bool dark = false;
    bool marks = false;
    std::string paper = "A4";
    int printerDpi = 600;
};

// The arguments after the program's name; on a usage error, *error says why
// and nothing else is meaningful. Paths are as given.
std::optional<Arguments> ParseArguments(const std::vector<std::string>& args, std::string* error);

} // namespace render
