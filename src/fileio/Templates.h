// Templates: their descriptions, the list offered on New, saving a score as a
// template, and the selection window's logic.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "fileio/ScoreFile.h"

namespace sw {

class Host;

// Asks for a template's description until it is not blank; nullopt (after
// telling the user the template was not saved) when cancelled. The result is
// cut to maxLength characters.
std::optional<std::string> AskTemplateDescription(Host& host, int maxLength);

// One template: what the list shows and the file it names, kept apart so a
// long path is never cut.
struct TemplateEntry {
    std::string description;  // at most 80 characters
    std::string path;
};

// "TEMPLATE" in the application folder.
std::string TemplateDirectory(const std::string& appDir);
// The description stored in a template file; its path when it has none, or
// the path and an error note when it cannot be read.
std::string ReadTemplateDescription(const std::string& path);
// Every *.SWT file of the folder (any letter case), sorted by description
// without regard to case.
std::vector<TemplateEntry> BuildTemplateList(const std::string& directory);
// Adds the entry, or replaces the one with the same path, and keeps the list sorted.
void AddTemplateEntry(std::vector<TemplateEntry>& list, TemplateEntry entry);

// Save as template: the content question and the description, then the file;
// the list learns of the template only when the file has been written.
SaveResult SaveAsTemplate(Score& score, const std::string& path, Host& host,
                          std::vector<TemplateEntry>& list, const FileEnv& env = {});

// The template selection window's logic.
class TemplateSelection {
  public:
    TemplateSelection(std::vector<TemplateEntry>& list, std::string directory)
        : list_(list), directory_(std::move(directory)) {}
    const std::vector<TemplateEntry>& entries() const { return list_; }
    int selected() const { return selected_; }
    void select(int index);
    // The path of the chosen template, or "" for no template.
    std::string choose() const;
    // Asks, deletes the selected template's file and rebuilds the list; false
    // when the user said no or the file could not be deleted (and was told).
    bool deleteSelected(Host& host);

  private:
    std::vector<TemplateEntry>& list_;
    std::string directory_;
    int selected_ = 0;
};

}  // namespace sw
