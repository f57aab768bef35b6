#pragma once
// What a design holds beyond the layer records: a block after the last
// record, which a reader that knows only the records never reaches, so
// such a reader opens the file as the same design without the additions.
//
//   BEGIN_EXTENSIONS
//   LAYER <n>           the n-th record of the file, 0 for the first
//   ROTATION <degrees>  "%f": the layer turned clockwise about its centre
//   END_EXTENSIONS
//
// A LAYER line starts the lines of that record's layer; lines before the
// first LAYER line belong to the design. Lines this program does not know
// are kept with the layer (or the design) they belong to and written back
// in their place; those of a record that made no layer are dropped with it.
// A design without anything to put there is written without the block.

#include <string>
#include <vector>

class CDesignLineReader;
struct DesignFile;

constexpr const char* kExtensionsBegin = "BEGIN_EXTENSIONS";
constexpr const char* kExtensionsEnd = "END_EXTENSIONS";
// Lines kept of an extension block, against hostile files.
constexpr size_t kMaxExtensionLines = 100000;

// One record's additions, as the writer gets them.
struct LayerExtension {
    int record = 0; // the record's place in the file, 0 for the first
    double angle = 0.0;
    std::vector<std::string> lines; // kept unknown lines, as read
};

// Reads the block (its first line already recognised, not yet read) into
// the design's records and its design lines, up to the end marker or the
// end of the data.
void ReadDesignExtensions(CDesignLineReader& reader, DesignFile& design);
// Appends the block for the design lines and the records' additions;
// nothing when there is nothing to write.
void AppendDesignExtensions(std::string& out, const std::vector<std::string>& designLines,
                            const std::vector<LayerExtension>& layers);
// The additions of a parsed design's records, for writing it back.
std::vector<LayerExtension> ExtensionsOf(const DesignFile& design);
