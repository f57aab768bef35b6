#pragma once
// The user guides res/dhelp.pdf, fhelp.pdf, ehelp.pdf and ghelp.pdf (Dutch,
// French, English, German), written from help/<nl|fr|en|de>.html with the
// interface's own pictures: the buttons of each language, the wizard and
// page-mode pictures, and an overview of the main view.

#include "skins.h"

#include <QString>

namespace resbuilder {

// Needs the button strips and, for the overview picture, the clip art and
// templates already written under resDir. Throws std::runtime_error when a
// source is missing or names a picture that does not exist.
void BuildHelpDocuments(const QString& helpDir, const QString& resDir,
                        const QList<NamedPicture>& strips);

} // namespace resbuilder
