// The document window's file commands that need the systems of the score:
// saving part of a score, and saving it as a template.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/WarningBox.h"
#include "fileio/Templates.h"

namespace sw {

class Host;

// The staves of systems start..end: the first stave of the start system to
// the last stave of the end system; nullopt (after telling the user) when the
// range is empty or back to front.
std::optional<std::pair<int, int>> PartRange(const Score& score, int startSystem, int endSystem,
                                             Host& host);

// The "Save Part of Score" window: a range of systems, starting and ending
// at the current stave's system, with the staves they span.
class SavePartChooser {
  public:
    explicit SavePartChooser(const Score& score);
    int start() const { return start_; }
    int end() const { return end_; }
    int systems() const { return systems_; }
    // A start beyond the end takes the end along.
    void setStart(int system);
    void setEnd(int system);
    // The first stave of the start system and the last of the end system;
    // "?" for a system that is not one.
    std::string startStaveText() const;
    std::string endStaveText() const;
    // OK: the staves to write, or nothing (the user told) for a wrong range.
    std::optional<std::pair<int, int>> accept(Host& host) const;

  private:
    const Score& score_;
    int systems_ = 0, start_ = 1, end_ = 1;
};

// Writes systems start..end as a partial file.
SaveResult SavePartOfScore(Score& score, int startSystem, int endSystem, const std::string& path,
                           Host& host, const FileEnv& env = {});

// Save as template, then the reminder when templates are not offered on New.
SaveResult SaveAsTemplateCommand(Score& score, const std::string& path, Host& host,
                                 std::vector<TemplateEntry>& list, bool templatesOffered,
                                 WarningBox& warnings, const FileEnv& env = {});

}  // namespace sw
