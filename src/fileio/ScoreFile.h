// Reading and writing score files (.SWN, templates .SWT, partial files,
// backups .SWB).
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/AtomicFile.h"

#include "model/Score.h"

namespace sw {

class Host;

// What the machine and the user's options contribute to reading and writing.
struct FileEnv {
    int screenPpi = 96;    // the current screen's pixels per inch
    bool backups = true;   // the Backups option
    FileIo* io = nullptr;  // the system's calls unless a test stands in
    // Staves merged into another score keep their text sizes: no question.
    bool keepFontSizes = false;
};

// 0 acceptable; 1 not found, 2 a directory, 3 empty, 4 size not a multiple of
// 22, 6 not a score file, 7 cannot be opened or read.
int PreCheckFile(const std::string& path, bool skip);
// The file a score name stands for: the name itself when it exists, else the
// same name with its extension in the other letter case, else (for a name
// without one) with ".NW" or ".SWN" in either case; the name unchanged when
// none exists.
std::string ResolveScoreFile(const std::string& path);
// The message the caller shows for a non-zero PreCheckFile code.
std::string PreCheckMessage(int code, const std::string& path);

struct LoadResult {
    bool ok = false;
    int badRecords = 0;
    bool partial = false;
    bool isTemplate = false;
    int fileVersion = 0;
};

// Replaces `score` with the file's content; on failure the user has been told
// and `score` is left as it was.
LoadResult LoadScore(Score& score, const std::string& path, bool asTemplate, Host& host,
                     const FileEnv& env = {});

enum class SaveResult { Saved, Abandoned, Failed };

// Asks for a template's description: nullopt when the user cancels.
using DescriptionAsker = std::function<std::optional<std::string>()>;

// Writes staves firstStave..lastStave (a partial file unless that is 0..Nstaves).
// The file is written beside the target and renamed over it only when complete,
// so a failed save never destroys the previous file.
SaveResult SaveScore(Score& score, const std::string& path, int firstStave, int lastStave,
                     bool asTemplate, bool showProgress, Host& host, const FileEnv& env = {},
                     const DescriptionAsker& askDescription = {});

// The name the previous version of `path` is kept under: "Backup of NAME.SWB".
std::string BackupName(const std::string& path);
// Keeps the previous version of a .SWN file about to be overwritten; true when
// a backup was made.
bool BackupBeforeSave(const std::string& path, const FileEnv& env);

// The file's bytes as SaveScore writes them (no prompts, no file).
std::string EncodeScore(const Score& score, int firstStave, int lastStave, bool asTemplate,
                        int fontCount, int screenPpi);

}  // namespace sw
