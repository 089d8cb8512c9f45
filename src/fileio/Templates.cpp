// Templates.
#include "fileio/Templates.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/TextUtil.h"
#include "fileio/Records.h"

namespace sw {

std::optional<std::string> AskTemplateDescription(Host& host, int maxLength) {
    for (;;) {
        std::optional<std::string> text = host.input(
            MessageText(msg::TemplateCaption), MessageText(msg::TemplateDescriptionPrompt), "");
        if (!text) {
            host.message(MsgType::Plain, MessageText(msg::TemplateNotSaved), Buttons::OK);
            return std::nullopt;
        }
        if (text->empty()) {
            host.message(MsgType::Error, MessageText(msg::TemplateDescriptionBlank), Buttons::OK);
            continue;
        }
        if (static_cast<int>(text->size()) > maxLength) text->resize(maxLength);
        return text;
    }
}

std::string TemplateDirectory(const std::string& appDir) {
    if (appDir.empty()) return "TEMPLATE";
    return appDir.back() == '/' ? appDir + "TEMPLATE" : appDir + "/TEMPLATE";
}

std::string ReadTemplateDescription(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return path + MessageText(msg::TemplateOpenError);
    Record header{}, page{};
    if (!in.read(reinterpret_cast<char*>(header.data()), kRecordSize) ||
        !in.read(reinterpret_cast<char*>(page.data()), kRecordSize))
        return path + MessageText(msg::TemplateReadError);
    const int records = DescriptionCountFromFlags(header[3]);
    if (records == 0) return path;
    std::string description;
    for (int d = 0; d < records; ++d) {
        Record r{};
        if (!in.read(reinterpret_cast<char*>(r.data()), kRecordSize))
            return path + MessageText(msg::TemplateReadError);
        description += GetString(r.data(), 21);
    }
    return description;
}

namespace {
std::string Fit80(const std::string& s) {
    std::string out = s.substr(0, 80);
    out.resize(80, ' ');
    return out;
}
bool LessIgnoreCase(const TemplateEntry& a, const TemplateEntry& b) {
    const std::string ka = ToUpperAscii(a.description), kb = ToUpperAscii(b.description);
    return ka != kb ? ka < kb : a.path < b.path;
}
}  // namespace

std::vector<TemplateEntry> BuildTemplateList(const std::string& directory) {
    std::vector<TemplateEntry> list;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(directory, ec)) {
        if (!e.is_regular_file(ec)) continue;  // folders and the like are skipped
        const std::string path = e.path().string();
        if (!HasExtension(path, ".SWT")) continue;
        list.push_back({Fit80(ReadTemplateDescription(path)), path});
    }
    std::sort(list.begin(), list.end(), LessIgnoreCase);
    return list;
}

void AddTemplateEntry(std::vector<TemplateEntry>& list, TemplateEntry entry) {
    entry.description = Fit80(entry.description);
    auto same = std::find_if(list.begin(), list.end(),
                             [&](const TemplateEntry& t) { return t.path == entry.path; });
    if (same != list.end())
        *same = std::move(entry);
    else
        list.push_back(std::move(entry));
    std::sort(list.begin(), list.end(), LessIgnoreCase);
}

SaveResult SaveAsTemplate(Score& score, const std::string& path, Host& host,
                          std::vector<TemplateEntry>& list, const FileEnv& env) {
    std::string description;
    SaveResult r = SaveScore(score, path, 1, score.Nstaves, true, true, host, env, [&]() {
        std::optional<std::string> d = AskTemplateDescription(host, kMaxDescription);
        if (d) description = *d;
        return d;
    });
    if (r == SaveResult::Saved) AddTemplateEntry(list, {description, path});
    return r;
}

void TemplateSelection::select(int index) {
    if (!list_.empty()) selected_ = std::clamp(index, 0, static_cast<int>(list_.size()) - 1);
}

std::string TemplateSelection::choose() const {
    if (list_.empty() || selected_ < 0 || selected_ >= static_cast<int>(list_.size())) return {};
    return list_[static_cast<std::size_t>(selected_)].path;
}

bool TemplateSelection::deleteSelected(Host& host) {
    if (list_.empty()) return false;
    const TemplateEntry entry = list_[static_cast<std::size_t>(selected_)];
    std::string shown = entry.description;
    shown.erase(shown.find_last_not_of(' ') + 1);
    if (host.message(MsgType::Confirmation, FormatMessage(msg::TemplateDeleteQuestion, shown),
                     Buttons::YesNo) != Answer::Yes)
        return false;
    if (::unlink(entry.path.c_str()) != 0) {
        host.message(MsgType::Error, FormatMessage(msg::TemplateDeleteFailed, entry.path),
                     Buttons::OK);
        return false;
    }
    list_ = BuildTemplateList(directory_);
    selected_ = 0;
    return true;
}

}  // namespace sw
