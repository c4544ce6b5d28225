#pragma once
// The XML export of a user's history: every run with its notes, laps and
// track under the root element "History".
#include <ostream>
#include <string>

#include "app/RunSet.h"
#include "glo/GLO_Optional.h"

namespace app {

// Element content for a text: "&", "<", ">", "'" and '"' as entity
// references, every line break (CR LF, CR or LF) as one "\n", and the
// characters XML cannot carry (control characters other than tab and line
// breaks, U+FFFE and U+FFFF) left out. A text that is not UTF-8 is read as
// Windows-1252 first.
std::string EscapeXmlText(const std::string& text);

// Writes the history document to the stream ("\n" line ends; a text-mode
// file turns them into CR LF). Numbers are written with "." whatever the
// stream's locale.
void WriteHistoryXml(std::ostream& out, const RunSet_t& runs);

// Whether the export can run: the history holds a run.
inline bool CanExportXml(const RunSet_t& runs) { return !runs.empty(); }

// Writes the history to the file, lines ending in CR LF, whole or not at
// all: on failure no partial file is left (an earlier file of that name stays
// as it was) and the result is the message for the user, with the system's
// text of the error. Absent on success.
glo::Optional_t<std::string> ExportHistoryXml(const std::string& path, const RunSet_t& runs);

// The file the export dialog proposes: "<user>.xml" (a "/" in the name becomes
// "_"; "History.xml" without a user) in the folder of the last export, else in
// the home folder. Folders end with "/".
std::string ProposedExportPath(const std::string& user, const std::string& lastFolder, const std::string& home);

}  // namespace app
