#pragma once
// The templates the start-up wizard offers: design files (".prt") written
// from the readable sources templates/<folder>/<name>.tpl into
// res/Tmplts/<folder>/<name>.prt, placing bundled clip art and text.
//
// A source holds one statement per line ('#' starts a comment line):
//   page <aspect> <mode>            page width / height, print mode 0 to 3
//   colours <main> <tl> <tr> <bl> <br>   #rrggbb: the main swatch and the
//                                   page corners top-left ... bottom-right
//   picture <category>/<name> <left> <top> <width> [opacity <n>] [mirrored] [flipped]
//   text <left> <top> <width> <align> <#rrggbb> "<face>" <size> <style> <text>
// Layers are listed from the back to the front. Positions and widths are
// fractions of the page's width (left, width) and height (top); "c" as left
// centres the box. A picture's height follows its proportions; a text's box
// has the proportions of the text as the program renders it (wrapped at
// 1200 pixels, `size` pixels high characters). <align> is left, centre or
// right; <style> is regular, bold, italic or bolditalic; "|" in the text
// breaks the line.

#include <QString>

namespace resbuilder {

struct ClipArtLibrary;

// Writes every template and returns how many were written. Throws
// std::runtime_error naming the file and line of a mistake: an unknown
// picture, a font that is not installed, a box outside the page.
int BuildTemplates(const QString& sourceDir, const QString& resDir, const ClipArtLibrary& library);

} // namespace resbuilder
