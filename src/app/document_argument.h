#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace vokrin::app {

class TMainForm;

// The one thing the program takes from its command line: a document handed over by the
// file manager ("Open with Vokrin", a double-click). A project list (*.lyl) is opened
// into the catalogue as the open-list button opens one; a song project (*.lyp) is added
// to the catalogue as the add button adds one. Only a single argument with one of these
// two extensions counts; anything else on the command line is ignored, and no argument
// changes a setting.
struct DocumentArgument
{
    enum class Kind { ProjectList, Project };
    Kind kind = Kind::ProjectList;
    // Absolute, as the file dialogs give it.
    QString path;

    bool operator==(const DocumentArgument &) const = default;
};

// The document among `arguments` (the command line without the program's name): a
// path, or a file: URL, ending in .lyl or .lyp in any letter case. A relative path is
// taken from `workingDir`.
std::optional<DocumentArgument> documentArgument(const QStringList &arguments,
                                                 const QString &workingDir);

// Opens the document in `window` (after the window has been shown, so the stored
// backing-track folder is in place). A file that is not there is skipped silently, like
// every missing file of a catalogue.
void openDocument(TMainForm &window, const DocumentArgument &document);

} // namespace vokrin::app
