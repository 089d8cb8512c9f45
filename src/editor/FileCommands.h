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

// Writes systems start..end as a partial file.
SaveResult SavePartOfScore(Score& score, int startSystem, int endSystem, const std::string& path,
                           Host& host, const FileEnv& env = {});

// Save as template, then the reminder when templates are not offered on New.
SaveResult SaveAsTemplateCommand(Score& score, const std::string& path, Host& host,
                                 std::vector<TemplateEntry>& list, bool templatesOffered,
                                 WarningBox& warnings, const FileEnv& env = {});

}  // namespace sw
