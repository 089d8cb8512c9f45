// The debugging listings: a score file's records as text (the file dump) and
// every field of one note (the note attribute report).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/AtomicFile.h"

#include "model/Score.h"

namespace sw {

class Host;
class ReportSink;
struct FileDialogSpec;

// The dump of a file's bytes: every 22-byte record in hexadecimal, with the
// header, page, description, font and stave records decoded after them. Any
// bytes at all are accepted; a short or damaged file is listed as far as it goes.
std::string DumpScoreBytes(const std::string& path, const uint8_t* data, std::size_t size);

// Writes the dump of score file `in` to `out`; false (after telling the user)
// when either file fails.
bool DumpScoreFile(const std::string& in, const std::string& out, Host& host,
                   FileIo& io = SystemFileIo());

// The name offered for the dump of `scorePath`: the same name with extension ".DMP".
std::string DumpFileName(const std::string& scorePath);

// The dump command: a score file is chosen with `openSpec` (the main window's
// open dialog), then the dump file; false when either is cancelled or fails.
bool RunDumpCommand(Host& host, const FileDialogSpec& openSpec);

// The lines of the note attribute report for object i of stave s (a Note).
std::vector<std::string> NoteAttributeLines(const Score& score, int s, int i, bool usTerms);

// Shows the note attribute report for object i of stave s, or tells the user
// that other kinds have none; true when the report was shown.
bool ShowNoteAttributes(const Score& score, int s, int i, bool usTerms, Host& host,
                        ReportSink& report);

}  // namespace sw
