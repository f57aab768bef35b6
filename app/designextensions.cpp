#include "app/designextensions.h"

#include "app/designfile.h"
#include "imaging/rotatedbox.h"

#include <string_view>

namespace {

constexpr std::string_view kLayerKey = "LAYER ";
constexpr std::string_view kRotationKey = "ROTATION ";

bool StartsWith(std::string_view line, std::string_view key) {
    return line.substr(0, key.size()) == key;
}

} // namespace

void ReadDesignExtensions(CDesignLineReader& reader, DesignFile& design) {
    reader.ReadLine(); // the begin marker
    std::vector<std::string>* kept = &design.extensionLines;
    DesignRecord* record = nullptr;
    size_t lines = 0;
    while (!reader.AtEnd()) {
        std::string line = reader.ReadLine();
        if (line == kExtensionsEnd)
            break;
        if (StartsWith(line, kLayerKey)) {
            const int index = DesignToInt(std::string_view(line).substr(kLayerKey.size()));
            const bool known = index >= 0 && index < int(design.records.size());
            record = known ? &design.records[size_t(index)] : nullptr;
            kept = record ? &record->extensionLines : nullptr;
            continue;
        }
        if (StartsWith(line, kRotationKey) && record) {
            record->angle =
                NormaliseAngle(DesignToReal(std::string_view(line).substr(kRotationKey.size())));
            continue;
        }
        if (!kept)
            continue; // a line of a record that is not in the file
        if (++lines > kMaxExtensionLines) {
            design.truncated = true;
            continue;
        }
        kept->push_back(std::move(line));
    }
}

void AppendDesignExtensions(std::string& out, const std::vector<std::string>& designLines,
                            const std::vector<LayerExtension>& layers) {
    bool any = !designLines.empty();
    for (const LayerExtension& layer : layers)
        any = any || layer.angle != 0.0 || !layer.lines.empty();
    if (!any)
        return;
    AppendDesignString(out, kExtensionsBegin);
    for (const std::string& line : designLines)
        AppendDesignString(out, line);
    for (const LayerExtension& layer : layers) {
        if (layer.angle == 0.0 && layer.lines.empty())
            continue;
        out += kLayerKey;
        AppendDesignInt(out, layer.record);
        if (layer.angle != 0.0) {
            out += kRotationKey;
            AppendDesignReal(out, layer.angle);
        }
        for (const std::string& line : layer.lines)
            AppendDesignString(out, line);
    }
    AppendDesignString(out, kExtensionsEnd);
}

std::vector<LayerExtension> ExtensionsOf(const DesignFile& design) {
    std::vector<LayerExtension> layers;
    for (size_t i = 0; i < design.records.size(); ++i) {
        const DesignRecord& record = design.records[i];
        if (record.angle != 0.0 || !record.extensionLines.empty())
            layers.push_back(LayerExtension{int(i), record.angle, record.extensionLines});
    }
    return layers;
}
