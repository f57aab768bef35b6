#include "app/render/renderarguments.h"

#include <charconv>
#include <cstring>
#include <set>
#include <strings.h>

namespace render {

namespace {

constexpr int kMaxWidth = 20000;
constexpr int kMaxDpi = 2400;
constexpr int kMaxCm = 1000;

bool HasExtension(const std::string& path, const char* extension) {
    const size_t n = std::strlen(extension);
    return path.size() > n && strcasecmp(path.c_str() + path.size() - n, extension) == 0;
}

bool ParseInt(const std::string& text, int low, int high, int* out) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, *out);
    return error == std::errc() && stop == end && *out >= low && *out <= high;
}

bool ParseCm(const std::string& text, double* out) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, *out);
    return error == std::errc() && stop == end && *out > 0 && *out <= kMaxCm;
}

// Options that take a value, and those that fit each kind of output.
const std::set<std::string> kValued = {"--width", "--cm", "--dpi", "--mode", "--paper"};
const std::set<std::string> kPrintOnly = {"--mode", "--keep-aspect", "--no-keep-aspect", "--fill",
                                          "--dark", "--marks",       "--paper"};
const std::set<std::string> kPictureOnly = {"--width", "--transparent"};

struct Option {
    std::string name;
    std::string value;
};

bool Fail(std::string* error, const std::string& why) {
    *error = why;
    return false;
}

bool ApplyPrintOption(const Option& o, Arguments* a, std::string* error) {
    if (o.name == "--mode") {
        if (!ParseInt(o.value, 1, 3, &a->mode))
            return Fail(error, "--mode takes 1, 2 or 3");
    } else if (o.name == "--cm") {
        const size_t x = o.value.find_first_of("xX");
        if (x == std::string::npos ||
            !ParseInt(o.value.substr(0, x), 1, kMaxCm, &a->widthCmWhole) ||
            !ParseInt(o.value.substr(x + 1), 1, kMaxCm, &a->heightCmWhole))
            return Fail(error, "--cm takes WxH in whole centimetres for a print, such as 10x8");
    } else if (o.name == "--dpi") {
        if (!ParseInt(o.value, 1, kMaxDpi, &a->printerDpi))
            return Fail(error, "--dpi takes 1 to 2400");
    } else if (o.name == "--paper") {
        if (strcasecmp(o.value.c_str(), "A4") != 0 && strcasecmp(o.value.c_str(), "Letter") != 0)
            return Fail(error, "--paper takes A4 or Letter");
        a->paper = strcasecmp(o.value.c_str(), "A4") == 0 ? "A4" : "Letter";
    } else if (o.name == "--keep-aspect" || o.name == "--no-keep-aspect") {
        a->keepAspect = o.name == "--keep-aspect";
    } else {
        bool& flag = o.name == "--fill" ? a->fill : o.name == "--dark" ? a->dark : a->marks;
        flag = true;
    }
    return true;
}

bool ApplyPictureOption(const Option& o, Arguments* a, std::string* error) {
    if (o.name == "--width") {
        if (!ParseInt(o.value, 1, kMaxWidth, &a->width))
            return Fail(error, "--width takes 1 to 20000");
        return true;
    }
    a->atSize = true;
    if (o.name == "--cm" && !ParseCm(o.value, &a->widthCm))
        return Fail(error, "--cm takes the width in centimetres for a picture, such as 25");
    if (o.name == "--dpi" && !ParseInt(o.value, 1, kMaxDpi, &a->dpi))
        return Fail(error, "--dpi takes 1 to 2400");
    if (o.name == "--transparent")
        a->transparent = true;
    return true;
}

// The print's page mode and size agree.
bool CheckPrint(Arguments* a, std::string* error) {
    const bool sized = a->widthCmWhole > 0;
    if (sized && a->mode == 0)
        a->mode = 3;
    if (sized && a->mode != 3)
        return Fail(error, "--cm is the size of mode 3");
    if (a->mode == 3 && !sized)
        return Fail(error, "--mode 3 needs --cm WxH");
    return true;
}

} // namespace

std::optional<Arguments> ParseArguments(const std::vector<std::string>& args, std::string* error) {
    std::vector<std::string> paths;
    std::vector<Option> options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.rfind("--", 0) != 0) {
            paths.push_back(arg);
            continue;
        }
        const size_t equals = arg.find('=');
        Option option{arg.substr(0, equals), ""};
        const bool valued = kValued.count(option.name) > 0;
        if (!valued && !kPrintOnly.count(option.name) && option.name != "--transparent") {
            *error = "unknown option " + option.name;
            return std::nullopt;
        }
        if (valued && equals != std::string::npos)
            option.value = arg.substr(equals + 1);
        else if (valued && i + 1 < args.size())
            option.value = args[++i];
        else if (valued || equals != std::string::npos) {
            *error = option.name + (valued ? " needs a value" : " takes no value");
            return std::nullopt;
        }
        options.push_back(option);
    }
    if (paths.size() != 2) {
        *error = "give a design and an output";
        return std::nullopt;
    }
    Arguments a;
    a.design = paths[0];
    a.output = paths[1];
    a.kind = HasExtension(a.output, ".prt")   ? OutputKind::kDesign
             : HasExtension(a.output, ".pdf") ? OutputKind::kPrint
                                              : OutputKind::kPicture;
    for (const Option& o : options) {
        const bool fits = a.kind == OutputKind::kPrint     ? !kPictureOnly.count(o.name)
                          : a.kind == OutputKind::kPicture ? !kPrintOnly.count(o.name)
                                                           : o.name == "--width";
        if (!fits) {
            *error = o.name + " does not apply to " + a.output;
            return std::nullopt;
        }
        const bool applied = a.kind == OutputKind::kPrint ? ApplyPrintOption(o, &a, error)
                                                          : ApplyPictureOption(o, &a, error);
        if (!applied)
            return std::nullopt;
    }
    if (a.kind == OutputKind::kPrint && !CheckPrint(&a, error))
        return std::nullopt;
    if (a.kind == OutputKind::kPicture && a.atSize && a.width > 0) {
        *error = "--width is the program's own export; --cm, --dpi and --transparent make a "
                 "picture for printing";
        return std::nullopt;
    }
    // A PNG is always a picture for printing, unless the width in pixels is
    // given.
    if (a.kind == OutputKind::kPicture && HasExtension(a.output, ".png") && a.width == 0)
        a.atSize = true;
    if (a.transparent && !HasExtension(a.output, ".png")) {
        *error = "--transparent needs a .png output";
        return std::nullopt;
    }
    return a;
}

} // namespace render
