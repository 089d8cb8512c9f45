// File commands over systems.
#include "editor/FileCommands.h"

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "layout/Pagination.h"

namespace sw {

std::optional<std::pair<int, int>> PartRange(const Score& score, int startSystem, int endSystem,
                                             Host& host) {
    const int systems = SystemCount(score);
    if (startSystem < 1 || endSystem < 1 || endSystem < startSystem || startSystem > systems ||
        endSystem > systems) {
        host.message(MsgType::Error, MessageText(msg::SavePartRangeError), Buttons::OK);
        return std::nullopt;
    }
    const int first = FirstStaveOfSystem(score, startSystem);
    const int last = SystemBounds(score, FirstStaveOfSystem(score, endSystem)).second;
    return std::make_pair(first, last);
}

SavePartChooser::SavePartChooser(const Score& score) : score_(score) {
    systems_ = SystemCount(score);
    const int cur = score.CurrentStave;
    start_ = end_ = cur >= 1 && cur <= score.Nstaves ? SystemNumber(score, cur) : 1;
}

void SavePartChooser::setStart(int system) {
    start_ = system;
    if (start_ > 0 && end_ < start_) end_ = start_;
}

void SavePartChooser::setEnd(int system) {
    end_ = system;
}

std::string SavePartChooser::startStaveText() const {
    if (start_ <= 0 || start_ > systems_) return "?";
    return std::to_string(FirstStaveOfSystem(score_, start_));
}

std::string SavePartChooser::endStaveText() const {
    if (end_ <= 0 || end_ > systems_) return "?";
    return std::to_string(SystemBounds(score_, FirstStaveOfSystem(score_, end_)).second);
}

std::optional<std::pair<int, int>> SavePartChooser::accept(Host& host) const {
    return PartRange(score_, start_, end_, host);
}

SaveResult SavePartOfScore(Score& score, int startSystem, int endSystem, const std::string& path,
                           Host& host, const FileEnv& env) {
    const auto range = PartRange(score, startSystem, endSystem, host);
    if (!range) return SaveResult::Abandoned;
    return SaveScore(score, path, range->first, range->second, false, true, host, env);
}

SaveResult SaveAsTemplateCommand(Score& score, const std::string& path, Host& host,
                                 std::vector<TemplateEntry>& list, bool templatesOffered,
                                 WarningBox& warnings, const FileEnv& env) {
    const SaveResult r = SaveAsTemplate(score, path, host, list, env);
    if (r == SaveResult::Saved && !templatesOffered)
        warnings.show(host, msg::TemplatesOffHint, 3, false);
    return r;
}

}  // namespace sw
