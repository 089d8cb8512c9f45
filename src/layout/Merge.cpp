// Merging a score file into the open score. Everything is read and checked
// before the open score changes, so a refusal leaves it as it was.
#include "layout/Merge.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/TextUtil.h"
#include "layout/OpenScore.h"
#include "layout/Pagination.h"

namespace sw {

namespace {

constexpr int32_t kGap = 10;  // between the merged staves and what follows them

bool JoinedToNext(const Score& score, int s) {
    return score.hasStave(s) && score.stave(s).h.joinToNext;
}

std::string UpperExtension(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = path.substr(dot);
    for (char& c : ext)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return ext;
}

// The page values compared, in the order the questions name them.
bool PageSetupAgreed(const Score& score, const Score& file, Host& host) {
    const PageData& a = score.page;
    const PageData& b = file.page;
    const std::array<std::pair<const char*, std::pair<double, double>>, 8> values{{
        {"page length", {a.Length, b.Length}},
        {"page width", {a.Width, b.Width}},
        {"top margin", {a.TopM, b.TopM}},
        {"bottom margin", {a.BotM, b.BotM}},
        {"left margin", {a.LeftM, b.LeftM}},
        {"right margin", {a.RightM, b.RightM}},
        {"gutter margin", {a.GutM, b.GutM}},
        {"stave size", {score.staveSize, file.staveSize}},
    }};
    for (const auto& [name, v] : values) {
        if (std::llround(v.first * 1000) == std::llround(v.second * 1000)) continue;
        if (host.message(MsgType::Warning, FormatMessage(msg::MergePageDiffers, name),
                         Buttons::OKAbort) != Answer::OK)
            return false;
    }
    return true;
}

}  // namespace

std::optional<int> MergePointAfter(const Score& score, int stave, Host& host) {
    if (stave < 1 || stave > score.Nstaves) return std::nullopt;
    if (JoinedToNext(score, stave)) {
        host.message(MsgType::Error, MessageText(msg::MergeAfterRefused), Buttons::OK);
        return std::nullopt;
    }
    return stave;
}

std::optional<int> MergePointBefore(const Score& score, int stave, Host& host) {
    if (stave < 1 || stave > score.Nstaves) return std::nullopt;
    if (stave >= 2 && JoinedToNext(score, stave - 1)) {
        host.message(MsgType::Error, MessageText(msg::MergeBeforeRefused), Buttons::OK);
        return std::nullopt;
    }
    return stave - 1;
}

std::optional<Score> ReadMergeFile(const Score& score, const std::string& path, Host& host,
                                   const FileEnv& env, const TextMeasurer& measurer,
                                   const RepairOptions& repair) {
    if (UpperExtension(path) != ".SWN") {
        host.message(MsgType::Error, MessageText(msg::MergeNotNormalFile), Buttons::OK);
        return std::nullopt;
    }
    // The loader makes the file checks, asks about a later version and refuses
    // older and damaged files as opening does; an older file is repaired.
    std::optional<Score> file(std::in_place);
    file->debug = score.debug;
    FileEnv quiet = env;
    quiet.keepFontSizes = true;
    OpenOptions options;
    options.repair = repair;
    if (!LoadForUse(*file, path, host, quiet, options).ok) return std::nullopt;
    MendStaveEnds(*file);
    const int n = file->Nstaves;
    if (score.Nstaves + n > kMaxStaves) {
        host.message(
            MsgType::Error,
            FormatMessage(msg::MergeTooManyStaves, static_cast<int>(score.Nstaves), n, kMaxStaves),
            Buttons::OK);
        return std::nullopt;
    }
    if (!PageSetupAgreed(score, *file, host)) return std::nullopt;
    for (int s = 1; s <= n; ++s)
        RefreshStave(*file, s, measurer);
    return file;
}

int SpliceMergedStaves(Score& score, int after, const Score& file, Host& host) {
    const int n = file.Nstaves;
    if (after < 0 || after > score.Nstaves || n < 1 || score.Nstaves + n > kMaxStaves) return 0;
    score.boxedBarNumbers = file.boxedBarNumbers;

    // The file's fonts as numbers of the open score's table; a text whose
    // number is no font of the file's gets the standard font.
    std::array<uint8_t, kMaxFonts + 1> map{};
    if (file.fontsInUse.any()) {
        RenumberFonts(score);
        for (int j = 1; j <= kMaxFonts; ++j)
            if (file.fontsInUse.test(static_cast<std::size_t>(j)))
                map[static_cast<std::size_t>(j)] = static_cast<uint8_t>(
                    FindOrAddFont(score, file.fonts[static_cast<std::size_t>(j)], host));
    }

    // Where each stave goes: below stave `after` (or 10 pixels down the strip),
    // keeping the distances of each file page, with 10 pixels where pages meet.
    std::vector<int32_t> place(static_cast<std::size_t>(n) + 1);
    for (int k = 1; k <= n; ++k) {
        const StaveHeader& h = file.stave(k).h;
        const int32_t above = h.Ycoord - h.MinY;
        int64_t y;
        if (k == 1) {
            y = after == 0 ? kGap + above : int64_t{score.stave(after).h.MaxY} + above;
        } else {
            const StaveHeader& prev = file.stave(k - 1).h;
            y = h.PageNum != prev.PageNum
                    ? int64_t{place[k - 1]} + (prev.MaxY - prev.Ycoord) + kGap + above
                    : int64_t{place[k - 1]} + (h.Ycoord - prev.Ycoord);
        }
        place[static_cast<std::size_t>(k)] =
            static_cast<int32_t>(std::clamp<int64_t>(y, INT32_MIN / 2, INT32_MAX / 2));
    }

    std::vector<std::unique_ptr<StaveBlock>> blocks;
    blocks.reserve(static_cast<std::size_t>(n));
    for (int k = 1; k <= n; ++k) {
        auto block = std::make_unique<StaveBlock>(file.stave(k));
        block->h.ForcedBk = 0;
        block->h.PageNum = 1;  // on the strip until the pages are laid out
        for (int i = 1; i <= block->h.Nobjec; ++i) {
            ScoreObject& o = block->obj[static_cast<std::size_t>(i)];
            if (!HasTextLayout(o.kind)) continue;
            uint8_t& f = o.text().fontNumber;
            f = map[f] != 0 ? map[f] : 1;
        }
        blocks.push_back(std::move(block));
    }
    if (!score.insertStaves(after + 1, blocks)) return 0;
    for (int k = 1; k <= n; ++k)
        MoveStaveTo(score, after + k, place[static_cast<std::size_t>(k)]);
    const int last = after + n;
    if (last < score.Nstaves) {
        const StaveHeader& end = score.stave(last).h;
        const StaveHeader& next = score.stave(last + 1).h;
        const int32_t d = end.MaxY + kGap + (next.Ycoord - next.MinY) - next.Ycoord;
        for (int s = last + 1; s <= score.Nstaves; ++s)
            ShiftStave(score, s, d);
    }
    return n;
}

bool MergeFile(Score& score, int after, const std::string& path, Host& host, const FileEnv& env,
               const TextMeasurer& measurer, int32_t pageHeight, const RepairOptions& repair) {
    std::optional<Score> file = ReadMergeFile(score, path, host, env, measurer, repair);
    if (!file) return false;
    Unpaginate(score);
    SpliceMergedStaves(score, after, *file, host);
    Repaginate(score, pageHeight);
    return true;
}

}  // namespace sw
